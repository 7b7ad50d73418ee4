#pragma once
// Rows of one table read from a page image: whole cells (at a cell pointer
// or at any byte of free space) and cells whose first 4 bytes a freeblock
// header took.
//
// A table leaf cell is: payload length varint (P), rowid varint, then the
// record: header length varint (H), one serial type per column, the values.
// P = H + the values' widths. A record is taken for a row of the table only
// when its serial types fit the table's columns (TableShape) and it lies
// inside the bytes it was found in.
//
// When a cell is freed, the freeblock header (next offset, size: 4 bytes)
// covers the start of the cell: the payload length (1 to 3 bytes on a leaf
// page), the rowid (1 to 9) and possibly the header length. The freeblock
// carver tries every split of the lost bytes: for each position s at which
// the serial types may start it walks them once, then keeps the column
// counts whose implied P and H agree with the varint lengths that fit the
// gap before s, with every surviving byte of the header-length and rowid
// varints, and with the freeblock's end. The longest such record wins.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "deep/ByteView.h"
#include "deep/TableShape.h"

namespace deep {

struct Value {
  enum class Kind : std::uint8_t { kNull, kInteger, kReal, kText, kBlob };
  Kind kind = Kind::kNull;
  std::int64_t integer = 0;
  double real = 0;
  std::string bytes;  // text or blob

  // As SQLite's column_text gives it: NULL empty, numbers in decimal.
  std::string asText() const;
};

struct CarvedRow {
  bool hasRowid = false;
  std::int64_t rowid = 0;
  std::vector<Value> values;  // one per wanted column, in the order asked
};

// The table and the columns a caller wants from its rows. The first
// `required` wanted columns must be columns of the table and every record
// holds them; a later one may be -1 (the table has no such column) or lie
// past the end of a record written before the column was added: it reads
// as NULL.
struct RecordLayout {
  TableShape shape;
  std::vector<int> wanted;   // column positions (or -1 past `required`)
  std::size_t required = 0;
  int minimumColumns = 1;    // fewest columns a record may hold: past every required one

  static RecordLayout of(const TableShape& shape, const std::vector<int>& wanted);
  static RecordLayout of(const TableShape& shape, const std::vector<int>& wanted, std::size_t required);
  bool usable() const;
};

// Largest payload kept on a leaf page of this usable size (SQLite's X).
std::uint32_t maxLocalPayload(std::uint32_t usableSize);
// Bytes of a payload of P bytes kept on a table leaf page.
std::uint32_t localPayload(std::uint64_t payload, std::uint32_t usableSize);

class CellCarver {
 public:
  CellCarver(const RecordLayout& layout, std::uint32_t usableSize);

  // Decodes a record (header-length varint first) filling exactly `payload`.
  bool decodePayload(ByteView payload, CarvedRow& row) const;

  // A whole cell at `at` whose payload stays on the page and ends by `end`.
  bool cellAt(ByteView page, std::size_t at, std::size_t end, CarvedRow& row, std::size_t& cellEnd) const;

  // Cells at any byte in [start, end), resuming after each one found: whole
  // ones, and ones whose first 4 bytes hold a freeblock header left behind.
  void carveRegion(ByteView page, std::size_t start, std::size_t end, std::vector<CarvedRow>& out) const;

  // A freeblock at `start` of `size` bytes: its first cell with the lost
  // header, then whole cells in the rest.
  void carveFreeblock(ByteView page, std::size_t start, std::size_t size, std::vector<CarvedRow>& out) const;

  const RecordLayout& layout() const { return layout_; }

 private:
  bool firstCellOfFreeblock(ByteView page, std::size_t start, std::size_t end, CarvedRow& row,
                            std::size_t& recordEnd) const;
  bool lostHeaderCellAt(ByteView page, std::size_t at, std::size_t end, CarvedRow& row, std::size_t& cellEnd) const;
  bool readValues(ByteView bytes, std::size_t body, const std::vector<std::uint64_t>& types, std::size_t count,
                  CarvedRow& row) const;

  RecordLayout layout_;
  std::uint32_t usableSize_;
  std::uint32_t maxLocal_;
};

}  // namespace deep
