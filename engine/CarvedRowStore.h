#pragma once
// Holds the rows carved from each leaf page while the tree is walked, and
// hands them back in the order of a carve over the sorted leaf pages:
// first every freeblock row, page by page in ascending page number, then
// every unassigned-area row, page by page.
//
// Carving a leaf as soon as the walk reaches it lets the session read each
// page once; the order of the text does not depend on the walk.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace engine {

class ColumnWalk;

class CarvedRowStore {
 public:
  // Empties the store for rows of `fieldsPerRow` fields.
  void reset(std::size_t fieldsPerRow);

  // Starts the rows of a leaf page; pages come in walk order.
  void beginPage(std::uint32_t page);
  void addFreeblockRow(const ColumnWalk& walk) { addRow(walk, freeblockFields_, freeblockTypes_); }
  void addAreaRow(const ColumnWalk& walk) { addRow(walk, areaFields_, areaTypes_); }

  // Moves every row out in page order, freeblock rows first; `take` gets
  // the row's fields and their serial types (fieldsPerRow of each).
  void drainInPageOrder(const std::function<void(std::string* fields, const std::uint64_t* types)>& take);

 private:
  struct PageRows {
    std::uint32_t page;
    std::size_t freeblockBegin, freeblockEnd, areaBegin, areaEnd;  // field indexes
  };

  void addRow(const ColumnWalk& walk, std::vector<std::string>& fields, std::vector<std::uint64_t>& types);
  void openPageRows();
  void closePage();
  void sortPages();

  std::size_t fieldsPerRow_ = 0;
  std::uint32_t currentPage_ = 0;
  bool currentPageHasRows_ = false;  // most pages yield none: no entry for them
  std::vector<PageRows> pages_;
  std::vector<std::string> freeblockFields_;
  std::vector<std::string> areaFields_;
  std::vector<std::uint64_t> freeblockTypes_;  // one per field
  std::vector<std::uint64_t> areaTypes_;
};

}  // namespace engine
