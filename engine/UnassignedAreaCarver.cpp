#include "engine/UnassignedAreaCarver.h"

#include "engine/ColumnWalk.h"
#include "engine/SerialType.h"
#include "engine/WorkBuffer.h"

namespace engine {

namespace {

// Positions of the SMS row start that the test fixes: the two columns before
// the address, the address, and the seven columns after it.
constexpr std::int64_t kSmsAddressPosition = 2;
constexpr std::int64_t kSmsLastFixedPosition = 9;
// An SMS candidate needs this many bytes after its start within the area.
constexpr std::int64_t kSmsReach = 11;

bool allNumeric(const WorkBuffer& area, std::int64_t from, std::int64_t to) {
  for (std::int64_t position = from; position < to; ++position) {
    if (!isNumericByte(area.at(static_cast<std::uint64_t>(position)))) return false;
  }
  return true;
}

bool isText(const WorkBuffer& area, std::int64_t position) {
  return isTextByte(area.at(static_cast<std::uint64_t>(position)));
}

// Every candidate has a text byte at a fixed distance from its start (the
// address for SMS, data1 for contacts) and, unless that distance is 0, a
// numeric byte at its start. Positions that lack either are passed over in
// one tight loop; the full test runs only where both hold.
std::int64_t textAnchor(const CarveLayout& layout) {
  return layout.table == CarvedTable::Sms ? kSmsAddressPosition : layout.data1Column();
}

std::int64_t nextPossibleStart(const WorkBuffer& area, std::int64_t from, std::int64_t length,
                               std::int64_t anchor) {
  const std::uint8_t* bytes = area.filledBytes();
  const auto stored = static_cast<std::int64_t>(area.filledLength());
  for (std::int64_t position = from; position < length; ++position) {
    // Past the filled part every byte is zero, which is never text.
    if (position + anchor >= stored) return length;
    if (isTextByte(bytes[position + anchor]) && (anchor == 0 || isNumericByte(bytes[position]))) return position;
  }
  return length;
}

bool scanEndsAt(std::int64_t position, std::int64_t length, const CarveLayout& layout) {
  if (layout.table == CarvedTable::Contacts) return position + layout.data1Column() >= length;
  return position + kSmsReach >= length;
}

}  // namespace

bool isCandidateRow(const WorkBuffer& area, std::int64_t position, const CarveLayout& layout) {
  if (layout.table == CarvedTable::Contacts) {
    const std::int64_t textAt = position + layout.data1Column();
    return allNumeric(area, position, textAt) && isText(area, textAt);
  }
  const std::int64_t address = position + kSmsAddressPosition;
  return allNumeric(area, position, address) && isText(area, address) &&
         allNumeric(area, address + 1, position + kSmsLastFixedPosition + 1) &&
         isText(area, position + layout.bodyColumn());
}

void carveUnassignedArea(const WorkBuffer& area, std::int64_t length, const CarveLayout& layout,
                         const RecordSink& sink) {
  const int columns = layout.columnCount;
  const std::int64_t anchor = textAnchor(layout);
  std::int64_t position = nextPossibleStart(area, 0, length, anchor);
  while (position < length) {
    if (scanEndsAt(position, length, layout)) return;
    if (!isCandidateRow(area, position, layout)) {
      position = nextPossibleStart(area, position + 1, length, anchor);
      continue;
    }
    ColumnWalk walk(area, static_cast<std::uint64_t>(position), layout.wanted.data(), layout.wantedCount);
    bool complete = true;
    for (int column = 0; column < columns; ++column) {
      if (static_cast<std::int64_t>(walk.total()) >= length) {
        complete = false;
        break;
      }
      walk.decodeColumn();
    }
    if (complete) sink(walk);
    const std::int64_t total = static_cast<std::int64_t>(walk.total());
    position += total < length ? total : 1;
  }
}

}  // namespace engine
