#pragma once
// What a row of one table looks like on disk, from its CREATE TABLE text:
// its columns in order and which serial types each may hold. A carved
// record is taken for a row of the table only when its serial types fit.
//
//   declared as                 holds (serial types)
//   INTEGER PRIMARY KEY         0 only: the rowid stands in for it
//   a type with INT, REAL,      0 to 9: NULL and numbers (text affinity
//   FLOA, DOUB, NUMERIC or      would have turned numbers into text, and
//   anything else that is not   numeric affinity keeps numbers numbers)
//   text or blob
//   CHAR, CLOB, TEXT            0, 12 and up: NULL, text and blobs
//   BLOB or no type             anything but the reserved 10 and 11
//   NOT NULL                    never 0
//
// Rows written before an ALTER TABLE ... ADD COLUMN hold fewer columns; a
// record of at least `minimumColumns` is still one of the table's.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace deep {

enum class ColumnKind : std::uint8_t { kRowidAlias, kNumeric, kText, kAny };

struct ColumnRule {
  ColumnKind kind = ColumnKind::kAny;
  bool notNull = false;
};

struct TableShape {
  std::string name;
  std::uint32_t rootPage = 0;
  std::vector<std::string> columns;
  std::vector<ColumnRule> rules;

  int columnCount() const { return static_cast<int>(columns.size()); }
  // 0-based position of a column by exact name; -1 when there is none.
  int columnIndex(const std::string& column) const;
  bool fits(std::size_t column, std::uint64_t serialType) const;
};

// The columns of a CREATE TABLE statement; nothing when the text is not one
// (a virtual table, a WITHOUT ROWID table, text that does not parse).
std::optional<TableShape> parseCreateTable(const std::string& sql);

}  // namespace deep
