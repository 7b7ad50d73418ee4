#include "engine/CarvedRowStore.h"

#include <algorithm>
#include <cassert>

#include "engine/ColumnWalk.h"

namespace engine {

void CarvedRowStore::reset(std::size_t fieldsPerRow) {
  fieldsPerRow_ = fieldsPerRow;
  currentPageHasRows_ = false;
  pages_.clear();
  freeblockFields_.clear();
  areaFields_.clear();
  freeblockTypes_.clear();
  areaTypes_.clear();
}

void CarvedRowStore::drainInPageOrder(
    const std::function<void(std::string* fields, const std::uint64_t* types)>& take) {
  closePage();
  sortPages();
  for (const PageRows& rows : pages_) {
    assert((rows.freeblockEnd - rows.freeblockBegin) % fieldsPerRow_ == 0);
    assert((rows.areaEnd - rows.areaBegin) % fieldsPerRow_ == 0);
    for (std::size_t k = rows.freeblockBegin; k < rows.freeblockEnd; k += fieldsPerRow_) {
      take(&freeblockFields_[k], &freeblockTypes_[k]);
    }
  }
  for (const PageRows& rows : pages_) {
    for (std::size_t k = rows.areaBegin; k < rows.areaEnd; k += fieldsPerRow_) take(&areaFields_[k], &areaTypes_[k]);
  }
  reset(fieldsPerRow_);
}

void CarvedRowStore::beginPage(std::uint32_t page) {
  closePage();
  currentPage_ = page;
  currentPageHasRows_ = false;
}

void CarvedRowStore::openPageRows() {
  pages_.push_back(PageRows{currentPage_, freeblockFields_.size(), freeblockFields_.size(), areaFields_.size(),
                            areaFields_.size()});
  currentPageHasRows_ = true;
}

void CarvedRowStore::addRow(const ColumnWalk& walk, std::vector<std::string>& fields,
                            std::vector<std::uint64_t>& types) {
  assert(fieldsPerRow_ > 0 && "reset() names the fields of a row before any row is added");
  if (!currentPageHasRows_) openPageRows();
  for (std::size_t k = 0; k < fieldsPerRow_; ++k) {
    fields.push_back(walk.field(k));
    types.push_back(walk.fieldType(k));
  }
}

void CarvedRowStore::closePage() {
  if (!currentPageHasRows_) return;
  assert(!pages_.empty() && pages_.back().page == currentPage_);
  pages_.back().freeblockEnd = freeblockFields_.size();
  pages_.back().areaEnd = areaFields_.size();
  currentPageHasRows_ = false;
}

void CarvedRowStore::sortPages() {
  std::sort(pages_.begin(), pages_.end(),
            [](const PageRows& left, const PageRows& right) { return left.page < right.page; });
}

}  // namespace engine
