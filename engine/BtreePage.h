#pragma once
// The parts of the SQLite file format the engine reads (big-endian values,
// offsets in bytes). Page n starts at (n - 1) * page size; its b-tree header
// is read at the page start.
//
//   where              offset  width  meaning
//   file header        16      2      page size (1 means 65,536)
//   b-tree header      0       1      page type: 5 interior table, 13 leaf table,
//                                     2 interior index, 10 leaf index
//   b-tree header      1       2      first freeblock, 0 if none
//   b-tree header      3       2      number of cells
//   b-tree header      5       2      start of the cell content area (0 = 65,536)
//   b-tree header      8       4      interior pages: right-most child
//   cell pointers      12 / 8  2 each interior / leaf pages: offset of each cell
//   interior cell      0       4      left child page number
//   freeblock          0       2      next freeblock;  2  2  its size

#include <cstdint>

namespace engine {

constexpr std::uint64_t kPageSizeOffset = 16;

constexpr std::uint64_t kPageTypeOffset = 0;
constexpr std::uint64_t kFirstFreeblockOffset = 1;
constexpr std::uint64_t kCellCountOffset = 3;
constexpr std::uint64_t kCellContentOffset = 5;
constexpr std::uint64_t kRightMostChildOffset = 8;
constexpr std::uint64_t kInteriorPointerArray = 12;
constexpr std::uint64_t kLeafPointerArray = 8;

constexpr std::uint64_t kFreeblockSizeOffset = 2;
constexpr std::uint64_t kFreeblockContentOffset = 4;

constexpr std::uint8_t kInteriorIndexPage = 2;
constexpr std::uint8_t kInteriorTablePage = 5;
constexpr std::uint8_t kLeafIndexPage = 10;
constexpr std::uint8_t kLeafTablePage = 13;

constexpr std::int32_t kMinPageSize = 512;
constexpr std::int32_t kMaxPageSize = 65536;

// The page size the header field stands for.
inline std::int32_t decodePageSize(std::uint16_t field) {
  return field == 1 ? kMaxPageSize : static_cast<std::int32_t>(field);
}

// Page sizes the file format allows: powers of two from 512 to 65,536.
inline bool isSupportedPageSize(std::int32_t size) {
  return size >= kMinPageSize && size <= kMaxPageSize && (size & (size - 1)) == 0;
}

// The unassigned area of a leaf page: from the end of the cell pointer array
// to the start of the cell content area.
struct UnassignedArea {
  std::uint64_t start = 0;  // page offset
  std::int64_t length = 0;  // zero or less: no area
};

inline UnassignedArea unassignedArea(std::uint16_t cellCount, std::uint16_t contentStart, std::int32_t pageSize) {
  const std::int64_t start = static_cast<std::int64_t>(kLeafPointerArray) + 2 * static_cast<std::int64_t>(cellCount);
  std::int64_t content = contentStart;
  if (content == 0 && pageSize == kMaxPageSize) content = kMaxPageSize;
  return UnassignedArea{static_cast<std::uint64_t>(start), content - start};
}

}  // namespace engine
