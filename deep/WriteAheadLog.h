#pragma once
// A database's write-ahead log, read by its file format (big-endian values):
//
//   WAL header (32 bytes)       frame header (24 bytes), then one page
//   0   magic 0x377f0682/3      0   page number
//   4   format version          4   database size in pages after a commit
//   8   page size                   frame, else 0
//   12  checkpoint sequence     8   salt-1 \  copied from the header
//   16  salt-1                  12  salt-2 /
//   20  salt-2                  16  checksum-1 \ over the frame header's
//   24  checksum-1 \ over bytes 20  checksum-2 / first 8 bytes and the page,
//   28  checksum-2 / 0 to 23            chained from the previous frame
//
// The checksum adds 32-bit words (big-endian when the magic's low bit is 1,
// else little-endian) two at a time: s0 += w0 + s1; s1 += w1 + s0. A frame
// is valid when its salts are the header's and its checksum chains from the
// header through every earlier frame; the state of the database is the main
// file with the valid frames up to the last valid commit frame. Frames past
// that (a transaction never committed, or an older log generation that a
// checkpoint began to write over) keep their page images all the same.

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace engine {
class DbFile;
}

namespace deep {

struct WalFrame {
  std::uint32_t pageNumber = 0;
  std::uint64_t pageOffset = 0;  // file offset of the page image
  bool inState = false;          // valid, and at or before the last commit
};

struct WalIndex {
  bool headerValid = false;
  std::vector<WalFrame> frames;  // every frame slot the file holds
  // Page number to the frame that holds its current image.
  std::unordered_map<std::uint32_t, std::size_t> current;
  std::uint32_t statePages = 0;  // database size after the last commit; 0: no commit
};

// Reads the log's frames for pages of `pageSize` bytes; an empty index when
// the file is too short for one frame.
WalIndex readWriteAheadLog(engine::DbFile& wal, std::uint32_t pageSize);

}  // namespace deep
