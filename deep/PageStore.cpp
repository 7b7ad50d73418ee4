#include "deep/PageStore.h"

#include <algorithm>
#include <cassert>

#include "engine/BtreePage.h"
#include "engine/PrivateWorkingCopy.h"

namespace deep {

namespace {

constexpr int kMaxTreeDepth = 20;
constexpr std::uint64_t kReservedBytesOffset = 20;
constexpr std::uint64_t kFirstTrunkOffset = 32;
constexpr std::uint64_t kReadRun = 1u << 20;

bool openSideFile(engine::DbFile& file, const std::string& path) {
  // Only a plain file is read: a FIFO would block the open.
  return engine::whyNotADatabaseFile(path).empty() && file.open(path);
}

}  // namespace

bool PageStore::open(const std::string& path) {
  if (!engine::whyNotADatabaseFile(path).empty() || !main_.open(path)) return false;
  const std::int32_t size = engine::decodePageSize(main_.u16At(engine::kPageSizeOffset));
  if (!engine::isSupportedPageSize(size)) return false;
  pageSize_ = static_cast<std::uint32_t>(size);
  const std::uint8_t reserved = main_.byteAt(kReservedBytesOffset);
  usableSize_ = pageSize_ - reserved;
  if (usableSize_ < 480) return false;
  mainPages_ = (main_.size() + pageSize_ - 1) / pageSize_;
  statePages_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(mainPages_, 0xFFFFFFFFu));

  if (openSideFile(walFile_, path + "-wal")) wal_ = readWriteAheadLog(walFile_, pageSize_);
  if (wal_.statePages != 0) {
    statePages_ = wal_.statePages;
  } else if (openSideFile(journalFile_, path + "-journal")) {
    journal_ = readRollbackJournal(journalFile_, pageSize_);
    if (journal_.hot && journal_.statePages != 0) statePages_ = journal_.statePages;
  }
  // A size field says what it likes; no state holds more pages than the
  // three files give images of.
  const std::uint64_t images = mainPages_ + wal_.frames.size() + journal_.pages.size();
  if (statePages_ > images) statePages_ = static_cast<std::uint32_t>(images);
  return true;
}

std::uint64_t PageStore::inputBytes() const {
  return main_.size() + (walFile_.isOpen() ? walFile_.size() : 0) + (journalFile_.isOpen() ? journalFile_.size() : 0);
}

ImageOrigin PageStore::currentOrigin(std::uint32_t number) const {
  if (wal_.current.count(number) != 0) return ImageOrigin::kWal;
  if (journal_.hot && journal_.rollback.count(number) != 0) return ImageOrigin::kJournal;
  return ImageOrigin::kMain;
}

bool PageStore::readCurrent(std::uint32_t number, std::vector<std::uint8_t>& out) {
  if (number == 0 || number > statePages_) return false;
  const auto frame = wal_.current.find(number);
  if (frame != wal_.current.end()) {
    assert(frame->second < wal_.frames.size() && "the log's index names only frames it read");
    readImage(ImageOrigin::kWal, wal_.frames[frame->second].pageOffset, out);
    return true;
  }
  if (journal_.hot) {
    const auto record = journal_.rollback.find(number);
    if (record != journal_.rollback.end()) {
      assert(record->second < journal_.pages.size() && "the journal's index names only records it read");
      readImage(ImageOrigin::kJournal, journal_.pages[record->second].pageOffset, out);
      return true;
    }
  }
  if (number > mainPages_) return false;
  readMain(number, out);
  return true;
}

void PageStore::readImage(ImageOrigin origin, std::uint64_t offset, std::vector<std::uint8_t>& out) {
  out.resize(pageSize_);
  engine::DbFile& file = origin == ImageOrigin::kMain ? main_ : origin == ImageOrigin::kWal ? walFile_ : journalFile_;
  // A table's pages mostly lie in runs: read a megabyte at a time.
  if (!file.holds(offset, pageSize_) && offset < file.size()) {
    file.keepWindow(offset, static_cast<std::size_t>(std::min<std::uint64_t>(kReadRun, file.size() - offset)));
  }
  file.read(offset, out.data(), out.size());
}

void PageStore::readMain(std::uint32_t number, std::vector<std::uint8_t>& out) {
  readImage(ImageOrigin::kMain, (static_cast<std::uint64_t>(number) - 1) * pageSize_, out);
}

void PageStore::walkTable(std::uint32_t root, const std::function<void(std::uint32_t, ByteView)>& leaf) {
  std::vector<bool> visited(static_cast<std::size_t>(statePages_) + 1, false);
  walkFrom(root, 1, visited, leaf);
}

bool PageStore::enter(std::uint32_t page, int depth, std::vector<bool>& visited, std::vector<std::uint8_t>& image) {
  if (page == 0 || page > statePages_ || depth > kMaxTreeDepth || visited[page]) return false;
  visited[page] = true;
  return readCurrent(page, image);
}

void PageStore::walkFrom(std::uint32_t page, int depth, std::vector<bool>& visited,
                         const std::function<void(std::uint32_t, ByteView)>& leaf) {
  std::vector<std::uint8_t> image;
  if (!enter(page, depth, visited, image)) return;
  const std::size_t header = btreeHeaderOffset(page);
  const ByteView view(image.data(), image.size());
  const std::uint8_t type = view.at(header);
  if (type == engine::kLeafTablePage) {
    leaf(page, view);
    return;
  }
  if (type != engine::kInteriorTablePage) return;
  const std::vector<std::uint32_t> children = childrenOf(view, header);
  image.clear();
  image.shrink_to_fit();
  for (const std::uint32_t child : children) walkFrom(child, depth + 1, visited, leaf);
}

std::vector<std::uint32_t> PageStore::childrenOf(ByteView image, std::size_t header) const {
  const std::size_t cells = image.u16(header + 3);
  std::vector<std::uint32_t> children;
  for (std::size_t cell = 0; cell < cells; ++cell) {
    const std::size_t pointerAt = header + 12 + 2 * cell;
    if (pointerAt + 2 > usableSize_) break;
    const std::size_t pointer = image.u16(pointerAt);
    if (pointer + 4 > usableSize_) continue;
    children.push_back(image.u32(pointer));
  }
  children.push_back(image.u32(header + 8));
  return children;
}

std::vector<std::uint32_t> PageStore::tableLeaves(std::uint32_t root) {
  std::vector<std::uint32_t> leaves;
  std::vector<bool> visited(static_cast<std::size_t>(statePages_) + 1, false);
  collectLeaves(root, 1, visited, leaves);
  return leaves;
}

void PageStore::collectLeaves(std::uint32_t page, int depth, std::vector<bool>& visited,
                              std::vector<std::uint32_t>& leaves) {
  std::vector<std::uint8_t> image;
  if (!enter(page, depth, visited, image)) return;
  const std::size_t header = btreeHeaderOffset(page);
  const ByteView view(image.data(), image.size());
  if (view.at(header) == engine::kLeafTablePage) {
    leaves.push_back(page);
    return;
  }
  if (view.at(header) != engine::kInteriorTablePage) return;
  const std::vector<std::uint32_t> children = childrenOf(view, header);
  std::vector<std::uint8_t> first;
  const auto leafType = [&](std::uint32_t child) {
    return ByteView(first.data(), first.size()).at(btreeHeaderOffset(child)) == engine::kLeafTablePage;
  };
  if (readCurrent(children.front(), first) && leafType(children.front())) {
    for (const std::uint32_t child : children) {
      if (child == 0 || child > statePages_ || visited[child]) continue;
      visited[child] = true;
      leaves.push_back(child);
    }
    return;
  }
  for (const std::uint32_t child : children) collectLeaves(child, depth + 1, visited, leaves);
}

std::vector<std::pair<std::uint32_t, bool>> PageStore::freelistPages() {
  std::vector<std::pair<std::uint32_t, bool>> pages;
  std::vector<std::uint8_t> image;
  if (!readCurrent(1, image)) return pages;
  std::uint32_t trunk = ByteView(image.data(), image.size()).u32(kFirstTrunkOffset);
  std::vector<bool> seen(static_cast<std::size_t>(statePages_) + 1, false);
  while (trunk != 0 && trunk <= statePages_ && !seen[trunk]) {
    seen[trunk] = true;
    pages.emplace_back(trunk, true);
    if (!readCurrent(trunk, image)) break;
    const ByteView view(image.data(), image.size());
    const std::uint32_t count = std::min<std::uint32_t>(view.u32(4), (usableSize_ - 8) / 4);
    for (std::uint32_t k = 0; k < count; ++k) {
      const std::uint32_t leaf = view.u32(8 + 4 * static_cast<std::size_t>(k));
      if (leaf == 0 || leaf > statePages_ || seen[leaf]) continue;
      seen[leaf] = true;
      pages.emplace_back(leaf, false);
    }
    trunk = view.u32(0);
  }
  return pages;
}

}  // namespace deep
