#include "engine/FreeblockCarver.h"

#include "engine/ColumnWalk.h"
#include "engine/WorkBuffer.h"

namespace engine {

namespace {

// Merged neighbours: the next cell's 2-byte payload length and 2-byte rowid
// are presumed to sit between two records.
constexpr std::int64_t kPresumedCellPrefix = 4;

// Whether the byte where the next record's header length would be is taken
// as one (and skipped) rather than read as the first serial type.
bool looksLikeHeaderLength(const CarveLayout& layout, std::uint8_t byte) {
  if (layout.table == CarvedTable::Contacts) return byte >= layout.columnCount;
  return byte > layout.columnCount;
}

}  // namespace

FreeblockContent freeblockContent(std::uint16_t size, std::uint8_t byteAtFour) {
  if (byteAtFour < 7) return FreeblockContent{4, static_cast<std::int64_t>(size) - 4};
  return FreeblockContent{5, static_cast<std::int64_t>(size) - 5};
}

void carveFreeblock(const WorkBuffer& content, std::int64_t length, const CarveLayout& layout,
                    const RecordSink& sink) {
  const int columns = layout.columnCount;
  std::int64_t start = 0;
  while (length > 0 && start < length) {
    ColumnWalk walk(content, static_cast<std::uint64_t>(start), layout.wanted.data(), layout.wantedCount);
    for (int column = 0; column < columns; ++column) {
      walk.decodeColumn();
      const bool last = column == columns - 1;
      if (!last && start + static_cast<std::int64_t>(walk.total()) >= length) return;
    }
    const std::int64_t end = start + static_cast<std::int64_t>(walk.total());
    if (end > length) return;
    sink(walk);
    std::int64_t next = end + kPresumedCellPrefix;
    if (looksLikeHeaderLength(layout, content.at(static_cast<std::uint64_t>(next)))) ++next;
    start = next;
  }
}

}  // namespace engine
