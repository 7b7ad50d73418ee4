#pragma once
// One copied database with the side files that lie beside it: the main
// file, its "-wal" and its "-journal". Gives the current image of any page
// (the state SQLite would read: the valid committed WAL frames over the main
// file, or the main file rolled back by a journal left unfinished) and every
// other image of a page the three files hold.
//
// Nothing is written, beside the copy or anywhere else; every read is at an
// offset checked against the file's size (bytes past the end read as zero).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "deep/ByteView.h"
#include "deep/RollbackJournal.h"
#include "deep/WriteAheadLog.h"
#include "engine/DbFile.h"

namespace deep {

enum class ImageOrigin : std::uint8_t { kMain, kWal, kJournal };

class PageStore {
 public:
  // False when the main file cannot be read or its header has no page size.
  bool open(const std::string& path);

  std::uint32_t pageSize() const { return pageSize_; }
  std::uint32_t usableSize() const { return usableSize_; }
  std::uint64_t mainPages() const { return mainPages_; }
  // Pages of the current state.
  std::uint32_t statePages() const { return statePages_; }
  // Bytes of the three files together.
  std::uint64_t inputBytes() const;

  const WalIndex& wal() const { return wal_; }
  const JournalIndex& journal() const { return journal_; }

  // Where the current image of page `number` lies.
  ImageOrigin currentOrigin(std::uint32_t number) const;
  // The current image of a page; false past the state's end.
  bool readCurrent(std::uint32_t number, std::vector<std::uint8_t>& out);
  // The image at `offset` of one of the files.
  void readImage(ImageOrigin origin, std::uint64_t offset, std::vector<std::uint8_t>& out);
  // The main file's own image of a page.
  void readMain(std::uint32_t number, std::vector<std::uint8_t>& out);

  // Offset of the b-tree header in a page's image: page 1 starts with the
  // 100-byte file header.
  static std::size_t btreeHeaderOffset(std::uint32_t number) { return number == 1 ? 100 : 0; }

  // Visits the leaf pages of the table b-tree rooted at `root` in the
  // current state, in key order. Each page is entered once; the depth is
  // capped.
  void walkTable(std::uint32_t root, const std::function<void(std::uint32_t, ByteView)>& leaf);

  // The leaf pages of a table b-tree in the current state, in key order,
  // reading interior pages and one leaf per parent: the children of a page
  // whose first child is a leaf are taken for leaves (a reader checks).
  std::vector<std::uint32_t> tableLeaves(std::uint32_t root);

  // Pages on the current state's freelist, trunks and leaves, with whether
  // each is a trunk.
  std::vector<std::pair<std::uint32_t, bool>> freelistPages();

 private:
  void walkFrom(std::uint32_t page, int depth, std::vector<bool>& visited,
                const std::function<void(std::uint32_t, ByteView)>& leaf);

  // Marks a page of a walk entered and reads it; false when it is not to be
  // entered (none, past the state, too deep, already seen) or cannot be read.
  bool enter(std::uint32_t page, int depth, std::vector<bool>& visited, std::vector<std::uint8_t>& image);
  void collectLeaves(std::uint32_t page, int depth, std::vector<bool>& visited, std::vector<std::uint32_t>& leaves);
  std::vector<std::uint32_t> childrenOf(ByteView image, std::size_t header) const;

  engine::DbFile main_;
  engine::DbFile walFile_;
  engine::DbFile journalFile_;
  WalIndex wal_;
  JournalIndex journal_;
  std::uint32_t pageSize_ = 0;
  std::uint32_t usableSize_ = 0;
  std::uint64_t mainPages_ = 0;
  std::uint32_t statePages_ = 0;
};

}  // namespace deep
