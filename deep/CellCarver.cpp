#include "deep/CellCarver.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/TextEncoding.h"

namespace deep {

namespace {

// Bytes a freeblock header takes from the start of a freed cell.
constexpr std::size_t kFreeblockHeader = 4;
// The serial types of a freed cell start at most this far into it: a 3-byte
// payload length, a 9-byte rowid and a 2-byte header length.
constexpr std::size_t kFirstSerialTypeMin = 3;
constexpr std::size_t kFirstSerialTypeMax = 14;
// Widths past this are no row of a phone database; refusing them early keeps
// every sum below far from overflow.
constexpr std::uint64_t kMaxValueWidth = 1u << 30;

std::uint64_t widthOf(std::uint64_t serialType) {
  static constexpr std::uint8_t kFixed[12] = {0, 1, 2, 3, 4, 6, 8, 8, 0, 0, 0, 0};
  return serialType < 12 ? kFixed[serialType] : (serialType - 12) / 2;
}

std::int64_t signedValue(ByteView bytes, std::size_t at, std::size_t width) {
  std::uint64_t value = (bytes.at(at) & 0x80u) != 0 ? ~std::uint64_t{0} : 0;
  for (std::size_t k = 0; k < width; ++k) value = (value << 8) | bytes.at(at + k);
  return static_cast<std::int64_t>(value);
}

bool textIsValid(const Value& value) {
  return value.kind != Value::Kind::kText || platform::isValidUtf8(value.bytes);
}

}  // namespace

std::string Value::asText() const {
  switch (kind) {
    case Kind::kNull:
      return std::string();
    case Kind::kInteger:
      return std::to_string(integer);
    case Kind::kReal: {
      char text[40];
      std::snprintf(text, sizeof text, "%.15g", real);
      return text;
    }
    case Kind::kText:
    case Kind::kBlob:
      return bytes;
  }
  return std::string();
}

RecordLayout RecordLayout::of(const TableShape& shape, const std::vector<int>& wanted) {
  return of(shape, wanted, wanted.size());
}

RecordLayout RecordLayout::of(const TableShape& shape, const std::vector<int>& wanted, std::size_t required) {
  RecordLayout layout;
  layout.shape = shape;
  layout.wanted = wanted;
  layout.required = std::min(required, wanted.size());
  layout.minimumColumns = 1;
  for (std::size_t k = 0; k < layout.required; ++k) {
    if (wanted[k] + 1 > layout.minimumColumns) layout.minimumColumns = wanted[k] + 1;
  }
  return layout;
}

bool RecordLayout::usable() const {
  if (shape.columnCount() < 1) return false;
  for (std::size_t k = 0; k < wanted.size(); ++k) {
    const int column = wanted[k];
    if (column >= shape.columnCount() || (column < 0 && (k < required || column != -1))) return false;
  }
  return true;
}

std::uint32_t maxLocalPayload(std::uint32_t usableSize) { return usableSize > 35 ? usableSize - 35 : 0; }

std::uint32_t localPayload(std::uint64_t payload, std::uint32_t usableSize) {
  const std::uint32_t maxLocal = maxLocalPayload(usableSize);
  if (payload <= maxLocal) return static_cast<std::uint32_t>(payload);
  if (usableSize < 480) return maxLocal;
  const std::uint32_t minLocal = (usableSize - 12) * 32 / 255 - 23;
  const std::uint64_t surplus = minLocal + (payload - minLocal) % (usableSize - 4);
  return surplus <= maxLocal ? static_cast<std::uint32_t>(surplus) : minLocal;
}

CellCarver::CellCarver(const RecordLayout& layout, std::uint32_t usableSize)
    : layout_(layout), usableSize_(usableSize), maxLocal_(maxLocalPayload(usableSize)) {}

bool CellCarver::readValues(ByteView bytes, std::size_t body, const std::vector<std::uint64_t>& types,
                            std::size_t count, CarvedRow& row) const {
  // Values keep their storage from row to row: a table of millions of rows
  // is decoded without an allocation per value.
  row.values.resize(layout_.wanted.size());
  for (Value& value : row.values) {
    value.kind = Value::Kind::kNull;
    value.bytes.clear();
  }
  std::size_t offset = body;
  for (std::size_t column = 0; column < count; ++column) {
    const std::uint64_t type = types[column];
    const auto width = static_cast<std::size_t>(widthOf(type));
    for (std::size_t k = 0; k < layout_.wanted.size(); ++k) {
      if (static_cast<std::size_t>(layout_.wanted[k]) != column) continue;
      if (!bytes.holds(offset, width)) return false;
      Value& value = row.values[k];
      if (type >= 1 && type <= 6) {
        value.kind = Value::Kind::kInteger;
        value.integer = signedValue(bytes, offset, width);
      } else if (type == 7) {
        value.kind = Value::Kind::kReal;
        const auto bits = static_cast<std::uint64_t>(signedValue(bytes, offset, 8));
        std::memcpy(&value.real, &bits, sizeof bits);
      } else if (type == 8 || type == 9) {
        value.kind = Value::Kind::kInteger;
        value.integer = type == 9 ? 1 : 0;
      } else if (type >= 12) {
        value.kind = (type & 1) != 0 ? Value::Kind::kText : Value::Kind::kBlob;
        value.bytes.assign(reinterpret_cast<const char*>(bytes.data()) + offset, width);
      }
    }
    offset += width;
  }
  return true;
}

bool CellCarver::decodePayload(ByteView payload, CarvedRow& row) const {
  std::size_t position = 0;
  std::uint64_t headerLength = 0;
  if (!payload.varint(position, payload.size(), headerLength)) return false;
  if (headerLength < position || headerLength > payload.size()) return false;
  const auto headerEnd = static_cast<std::size_t>(headerLength);
  const auto columns = static_cast<std::size_t>(layout_.shape.columnCount());
  std::vector<std::uint64_t> types;
  std::uint64_t body = 0;
  while (position < headerEnd) {
    std::uint64_t type = 0;
    if (types.size() == columns || !payload.varint(position, headerEnd, type)) return false;
    if (!layout_.shape.fits(types.size(), type) || widthOf(type) > kMaxValueWidth) return false;
    types.push_back(type);
    body += widthOf(type);
  }
  if (types.size() < static_cast<std::size_t>(layout_.minimumColumns)) return false;
  if (headerLength + body != payload.size()) return false;
  return readValues(payload, headerEnd, types, types.size(), row);
}

bool CellCarver::cellAt(ByteView page, std::size_t at, std::size_t end, CarvedRow& row, std::size_t& cellEnd) const {
  std::size_t position = at;
  std::uint64_t payload = 0;
  std::uint64_t rowid = 0;
  if (!page.varint(position, end, payload) || payload < 2 || payload > maxLocal_) return false;
  if (!page.varint(position, end, rowid)) return false;
  if (position > end || payload > end - position) return false;
  // Quick refusal before the full decode: a header of at least one column
  // whose first serial type fits the first column.
  const std::uint8_t headerLength = page.at(position);
  if (headerLength < 2 || (headerLength < 0x80 && !layout_.shape.fits(0, page.at(position + 1)) &&
                           page.at(position + 1) < 0x80)) {
    return false;
  }
  if (!decodePayload(ByteView(page.data() + position, static_cast<std::size_t>(payload)), row)) return false;
  row.hasRowid = true;
  row.rowid = static_cast<std::int64_t>(rowid);
  cellEnd = position + static_cast<std::size_t>(payload);
  return true;
}

void CellCarver::carveRegion(ByteView page, std::size_t start, std::size_t end, std::vector<CarvedRow>& out) const {
  if (end > page.size()) end = page.size();
  CarvedRow row;
  for (std::size_t at = start; at < end;) {
    std::size_t cellEnd = 0;
    if (cellAt(page, at, end, row, cellEnd) || lostHeaderCellAt(page, at, end, row, cellEnd)) {
      out.push_back(std::move(row));
      row = CarvedRow{};
      at = cellEnd;
    } else {
      ++at;
    }
  }
}

bool CellCarver::lostHeaderCellAt(ByteView page, std::size_t at, std::size_t end, CarvedRow& row,
                                  std::size_t& cellEnd) const {
  // A freeblock header left behind: the next freeblock further on (or
  // none), a size that stays inside the page. Freed cells keep it when SQLite
  // merges their freeblock into a neighbour or gives it back to the
  // unassigned area.
  const std::size_t next = page.u16(at);
  const std::size_t size = page.u16(at + 2);
  if (size < kFreeblockHeader + kFirstSerialTypeMin || (next != 0 && (next <= at || next >= page.size()))) return false;
  if (at + size > page.size()) return false;
  return firstCellOfFreeblock(page, at, std::min(end, at + size), row, cellEnd);
}

bool CellCarver::firstCellOfFreeblock(ByteView page, std::size_t start, std::size_t end, CarvedRow& row,
                                      std::size_t& recordEnd) const {
  const std::size_t columns = static_cast<std::size_t>(layout_.shape.columnCount());
  const std::size_t intact = start + kFreeblockHeader;  // first byte the header left alone
  std::vector<std::uint64_t> types;
  std::vector<std::uint64_t> headerBytes(columns + 1, 0);  // serial-type bytes of the first n columns
  std::vector<std::uint64_t> bodyBytes(columns + 1, 0);
  bool found = false;
  std::size_t bestEnd = 0;
  for (std::size_t s = start + kFirstSerialTypeMin; s <= start + kFirstSerialTypeMax && s < end; ++s) {
    // Walk the serial types once; a first column lost under the freeblock
    // header can only be the rowid alias (stored as NULL).
    types.clear();
    std::size_t position = s;
    if (s < intact) {
      if (!layout_.shape.fits(0, 0)) continue;
      types.push_back(0);
      headerBytes[1] = 1;
      bodyBytes[1] = 0;
      position = s + 1;
    }
    while (types.size() < columns) {
      std::uint64_t type = 0;
      const std::size_t before = position;
      if (!page.varint(position, end, type) || !layout_.shape.fits(types.size(), type) ||
          widthOf(type) > kMaxValueWidth) {
        break;
      }
      const std::size_t n = types.size() + 1;
      headerBytes[n] = headerBytes[n - 1] + (position - before);
      bodyBytes[n] = bodyBytes[n - 1] + widthOf(type);
      types.push_back(type);
    }
    for (std::size_t n = types.size(); n >= static_cast<std::size_t>(layout_.minimumColumns) && n > 0; --n) {
      const std::uint64_t serialBytes = headerBytes[n];
      const std::size_t lengthBytes = serialBytes + 1 <= 127 ? 1 : 2;
      const std::uint64_t header = serialBytes + lengthBytes;
      const std::uint64_t payload = header + bodyBytes[n];
      if (header > 16383 || payload > maxLocal_) continue;
      const std::size_t payloadBytes = varintLength(payload);
      const std::size_t gap = s - start;
      if (gap < payloadBytes + lengthBytes + 1) continue;
      const std::size_t rowidBytes = gap - payloadBytes - lengthBytes;
      if (rowidBytes > 9) continue;
      // The header length's surviving bytes must say the same; with none
      // surviving, nothing tells how many columns there were: all of them.
      const std::size_t lengthAt = s - lengthBytes;
      if (s - 1 < intact && n != columns) continue;
      bool agrees = true;
      for (std::size_t k = 0; k < lengthBytes && agrees; ++k) {
        if (lengthAt + k < intact) continue;
        const std::uint8_t expected = lengthBytes == 1 ? static_cast<std::uint8_t>(header)
                                      : k == 0          ? static_cast<std::uint8_t>(0x80 | (header >> 7))
                                                        : static_cast<std::uint8_t>(header & 0x7F);
        agrees = page.at(lengthAt + k) == expected;
      }
      // So must the rowid's: continuation bits on all but its last byte.
      const std::size_t rowidAt = start + payloadBytes;
      for (std::size_t k = 0; k < rowidBytes && agrees; ++k) {
        if (rowidAt + k < intact) continue;
        const bool last = k + 1 == rowidBytes;
        const bool continues = (page.at(rowidAt + k) & 0x80u) != 0;
        if (rowidBytes < 9 || !last) agrees = continues != last;
      }
      if (!agrees) continue;
      const std::uint64_t recordLast = s + serialBytes + bodyBytes[n];
      if (recordLast > end || recordLast <= bestEnd) continue;
      CarvedRow candidate;
      if (!readValues(page, s + static_cast<std::size_t>(serialBytes), types, n, candidate)) continue;
      bool valid = true;
      for (const Value& value : candidate.values) valid = valid && textIsValid(value);
      if (!valid) continue;
      row = std::move(candidate);
      bestEnd = static_cast<std::size_t>(recordLast);
      found = true;
      break;
    }
  }
  recordEnd = bestEnd;
  return found;
}

void CellCarver::carveFreeblock(ByteView page, std::size_t start, std::size_t size, std::vector<CarvedRow>& out) const {
  if (size < kFreeblockHeader || start >= page.size()) return;
  const std::size_t end = size > page.size() - start ? page.size() : start + size;
  CarvedRow first;
  std::size_t resume = start + kFreeblockHeader;
  std::size_t recordEnd = 0;
  if (firstCellOfFreeblock(page, start, end, first, recordEnd)) {
    out.push_back(std::move(first));
    resume = recordEnd;
  }
  carveRegion(page, resume, end, out);
}

}  // namespace deep
