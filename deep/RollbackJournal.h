#pragma once
// A rollback journal, read by its file format (big-endian values):
//
//   header, padded to the sector size     record, one per page
//   0   magic d9 d5 05 f9 20 a1 63 d7     0   page number
//   8   record count (-1: up to the end)  4   the page's original image
//   12  checksum nonce                    4+n checksum: the nonce plus every
//   16  database size in pages before         200th byte of the image, from
//   20  sector size                           byte n-200 down to byte 1
//   24  page size
//
// A committed PERSIST journal has its header zeroed and keeps records of
// earlier, larger transactions behind the last one; a run of records is
// told apart from its neighbours by its nonce, which each record's checksum
// gives back. A journal whose header is intact was never finished: SQLite
// would roll it back, so its first run of records is the database's state.

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace engine {
class DbFile;
}

namespace deep {

struct JournalPage {
  std::uint32_t pageNumber = 0;
  std::uint64_t pageOffset = 0;  // file offset of the page image
};

struct JournalIndex {
  std::vector<JournalPage> pages;  // every record found, in file order
  bool hot = false;                // intact header: the first run is to be rolled back
  std::uint32_t statePages = 0;    // database size before the hot transaction
  std::unordered_map<std::uint32_t, std::size_t> rollback;  // page number to its record in `pages`
};

JournalIndex readRollbackJournal(engine::DbFile& journal, std::uint32_t pageSize);

}  // namespace deep
