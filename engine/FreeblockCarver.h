#pragma once
// Carves deleted rows out of one freeblock ("freelist cell") of a table leaf
// page.
//
// Freeblock layout (offsets from its start, big-endian):
//   0  2  offset of the next freeblock, 0 at the end of the chain
//   2  2  size of the freeblock, header included
//   4  .. what is left of the deleted cell
// The deleted cell's payload length and rowid are gone under the header, so
// the content starts at the record's header-length byte or just after it.

#include <cstdint>

#include "engine/CarveLayout.h"

namespace engine {

class WorkBuffer;

struct FreeblockContent {
  std::uint64_t start = 0;  // offset of the content within the freeblock: 4 or 5
  std::int64_t length = 0;  // L; zero or less means nothing to carve
};

// Where the content of a freeblock of `size` bytes starts, from the byte at
// its offset 4: below 7 it is already a serial type, else a header length.
FreeblockContent freeblockContent(std::uint16_t size, std::uint8_t byteAtFour);

// Walks records through the `length` content bytes held in `content`,
// handing each complete one to `sink`.
void carveFreeblock(const WorkBuffer& content, std::int64_t length, const CarveLayout& layout,
                    const RecordSink& sink);

}  // namespace engine
