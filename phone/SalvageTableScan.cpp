#include "phone/SalvageTableScan.h"

#include <sqlite3.h>

#include <algorithm>
#include <cassert>
#include <utility>

namespace phone {

namespace {

using Statement = engine::SqliteStatement;

bool equalNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

SalvageTableScan::SalvageTableScan(DatabaseCopy& copy, OutcomeBuilder& outcome, std::string table,
                                   std::vector<std::string_view> wanted, std::vector<std::string_view> required,
                                   Presence presence, SalvageScanLimits limits)
    : copy_(copy),
      outcome_(outcome),
      table_(std::move(table)),
      wanted_(std::move(wanted)),
      presence_(presence),
      limits_(limits) {
  assert(copy_.db() != nullptr);
  if (copy_.outOfTime() || !findTable() || !findColumns() || !hasRequiredColumns(required)) return;
  prepareRows();
}

bool SalvageTableScan::Next() {
  onRow_ = false;
  while (rows_) {
    const int rc = sqlite3_step(rows_->get());
    if (rc == SQLITE_ROW) return acceptRow();
    if (rc == SQLITE_DONE) break;
    resumeAfterFailedStep(rc);
  }
  stop();
  return false;
}

bool SalvageTableScan::isNull(std::size_t column) const {
  return sqlite3_column_type(rows_->get(), valueIndex(column)) == SQLITE_NULL;
}

std::int64_t SalvageTableScan::integer(std::size_t column) const {
  return sqlite3_column_int64(rows_->get(), valueIndex(column));
}

std::optional<std::string_view> SalvageTableScan::text(std::size_t column) const {
  const int index = valueIndex(column);
  const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(rows_->get(), index));
  if (bytes == nullptr) return std::nullopt;
  const int length = sqlite3_column_bytes(rows_->get(), index);
  return std::string_view(bytes, static_cast<std::size_t>(std::max(length, 0)));
}

// Only ordinary tables: a view or a virtual table of the same name is no
// phone's, and could make reading arbitrarily slow.
bool SalvageTableScan::findTable() {
  sqlite3* db = copy_.db();
  Statement table(db, "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
  if (!table.prepared()) {
    outcome_.Note(ReadStatus::kDamaged, "cannot read the schema: " + std::string(sqlite3_errmsg(db)));
    return false;
  }
  sqlite3_bind_text(table.get(), 1, table_.c_str(), -1, SQLITE_STATIC);
  bool ordinary = false;
  if (sqlite3_step(table.get()) == SQLITE_ROW) {
    const auto* sql = reinterpret_cast<const char*>(sqlite3_column_text(table.get(), 0));
    ordinary = sql == nullptr || sqlite3_strnicmp(sql, "CREATE VIRTUAL", 14) != 0;
  }
  if (!ordinary && presence_ == kRequired) outcome_.Note(ReadStatus::kMissingTables, "there is no table " + table_);
  return ordinary;
}

bool SalvageTableScan::findColumns() {
  sqlite3* db = copy_.db();
  Statement columns(db, "SELECT name FROM pragma_table_info(?1)");
  if (!columns.prepared()) {
    outcome_.Note(ReadStatus::kDamaged, "cannot read the columns of " + table_ + ": " + sqlite3_errmsg(db));
    return false;
  }
  sqlite3_bind_text(columns.get(), 1, table_.c_str(), -1, SQLITE_STATIC);
  present_.assign(wanted_.size(), false);
  while (sqlite3_step(columns.get()) == SQLITE_ROW) {
    const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(columns.get(), 0));
    if (name == nullptr) continue;
    for (std::size_t i = 0; i < wanted_.size(); ++i) {
      if (equalNoCase(name, wanted_[i])) present_[i] = true;
    }
  }
  return true;
}

bool SalvageTableScan::hasRequiredColumns(const std::vector<std::string_view>& required) {
  for (const std::string_view column : required) {
    const auto found = std::find(wanted_.begin(), wanted_.end(), column);
    // The caller names its required columns among the wanted ones.
    assert(found != wanted_.end());
    if (found == wanted_.end() || !present_[static_cast<std::size_t>(found - wanted_.begin())]) {
      outcome_.Note(ReadStatus::kMissingTables, "table " + table_ + " has no column " + std::string(column));
      return false;
    }
  }
  return true;
}

// One statement reads the rows from a rowid on; after an unreadable row it
// is reset and bound again past that row. Missing columns are selected as
// NULL so that the value indexes stay those of `wanted`.
void SalvageTableScan::prepareRows() {
  assert(present_.size() == wanted_.size());
  std::string sql = "SELECT rowid";
  for (std::size_t i = 0; i < wanted_.size(); ++i) {
    sql += present_[i] ? ", \"" + std::string(wanted_[i]) + "\"" : ", NULL";
  }
  sql += " FROM \"" + table_ + "\" WHERE rowid > ?1 ORDER BY rowid";
  rows_ = std::make_unique<Statement>(copy_.db(), sql);
  if (!rows_->prepared()) {
    outcome_.Note(ReadStatus::kDamaged, "cannot read table " + table_ + ": " + sqlite3_errmsg(copy_.db()));
    rows_.reset();
    return;
  }
  sqlite3_bind_int64(rows_->get(), 1, lastRowid_);
}

bool SalvageTableScan::acceptRow() {
  if (++rowsRead_ > limits_.maxRows) {
    outcome_.Note(ReadStatus::kTooLarge, "table " + table_ + " has too many rows; the rest was not read");
    stop();
    return false;
  }
  // Never back: a damaged tree that yields rowids out of order must not
  // make the scan read rows again after a skip.
  lastRowid_ = std::max<std::int64_t>(lastRowid_, sqlite3_column_int64(rows_->get(), 0));
  onRow_ = true;
  return true;
}

// After a step that failed: stops at the work limit, or when no row past
// the unreadable one can be found; else rebinds the statement past it.
void SalvageTableScan::resumeAfterFailedStep(int rc) {
  assert(rows_ != nullptr);
  if (copy_.outOfTime() || rc == SQLITE_INTERRUPT) {
    outcome_.Note(ReadStatus::kTooLarge, "reading table " + table_ + " took too long; the rest was not read");
    stop();
    return;
  }
  const std::string message = sqlite3_errmsg(copy_.db());
  sqlite3_reset(rows_->get());
  if (!skipUnreadableRow()) {
    outcome_.Note(ReadStatus::kDamaged, "table " + table_ + " is damaged (" + message + "); the rest was not read");
    stop();
    return;
  }
  // Said once per table: a damaged page may hold many rows.
  if (skipped_ == 1) {
    outcome_.Note(ReadStatus::kDamaged, "table " + table_ + " has rows that cannot be read (" + message + ")");
  }
  sqlite3_bind_int64(rows_->get(), 1, lastRowid_);
}

// Moves past the row after the last one read, which SQLite could not read.
// False when there is no further row to be found or too many were skipped.
bool SalvageTableScan::skipUnreadableRow() {
  if (skipped_ >= limits_.maxSkippedRows || copy_.outOfTime()) return false;
  Statement following(copy_.db(), "SELECT rowid FROM \"" + table_ + "\" WHERE rowid > ?1 ORDER BY rowid LIMIT 1");
  if (!following.prepared()) return false;
  sqlite3_bind_int64(following.get(), 1, lastRowid_);
  if (sqlite3_step(following.get()) != SQLITE_ROW) return false;
  const std::int64_t unreadable = sqlite3_column_int64(following.get(), 0);
  if (unreadable <= lastRowid_) return false;
  lastRowid_ = unreadable;
  ++skipped_;
  return true;
}

void SalvageTableScan::stop() { rows_.reset(); }

// Value columns follow the rowid. Only while on a row, and only for a
// column the caller asked for: the caller's column indexes are its own.
int SalvageTableScan::valueIndex(std::size_t column) const {
  assert(onRow_ && rows_ != nullptr);
  assert(column < wanted_.size());
  return static_cast<int>(column) + 1;
}

}  // namespace phone
