#include "engine/SqliteQuery.h"

#include <sqlite3.h>

#include "platform/TextEncoding.h"

namespace engine {

namespace {

std::string columnText(sqlite3_stmt* statement, int column) {
  const unsigned char* text = sqlite3_column_text(statement, column);
  return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text));
}

}  // namespace

SqliteStatement::SqliteStatement(sqlite3* db, const std::string& sql) {
  if (db == nullptr) return;
  if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &statement_, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
  }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

bool SqliteStatement::nextRow() { return statement_ != nullptr && sqlite3_step(statement_) == SQLITE_ROW; }

SqliteConnection::~SqliteConnection() { close(); }

bool SqliteConnection::open(const std::string& path) { return openWith(path, SQLITE_OPEN_READONLY); }

bool SqliteConnection::openWorkingCopy(const std::string& path) { return openWith(path, SQLITE_OPEN_READWRITE); }

bool SqliteConnection::openWith(const std::string& path, int flags) {
  close();
  const std::string utf8Path = platform::utf8FromNarrow(path);
  if (sqlite3_open_v2(utf8Path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
    close();
    return false;
  }
  sqlite3_limit(db_, SQLITE_LIMIT_LENGTH, kMaxValueBytes);
  // Nobody else opens a private copy; the timeout only covers a stray lock.
  sqlite3_busy_timeout(db_, 2000);
  return true;
}

void SqliteConnection::close() {
  sqlite3_close(db_);
  db_ = nullptr;
}

std::optional<std::int32_t> queryRootPage(const SqliteConnection& db, const std::string& sql) {
  SqliteStatement statement(db.handle(), sql);
  if (!statement.prepared()) return std::nullopt;
  std::optional<std::int32_t> rootPage;
  while (statement.nextRow()) {
    const int values = sqlite3_data_count(statement.get());
    for (int column = 0; column < values; ++column) {
      const auto value = static_cast<std::uint64_t>(sqlite3_column_int64(statement.get(), column));
      rootPage = static_cast<std::int32_t>(static_cast<std::uint32_t>(value & 0xFFFFFFFFu));
    }
  }
  return rootPage;
}

std::optional<std::vector<std::string>> queryColumnNames(const SqliteConnection& db, const std::string& sql) {
  SqliteStatement statement(db.handle(), sql);
  if (!statement.prepared()) return std::nullopt;
  std::vector<std::string> names;
  const int count = sqlite3_column_count(statement.get());
  for (int column = 0; column < count; ++column) {
    const char* name = sqlite3_column_name(statement.get(), column);
    names.emplace_back(name == nullptr ? "" : name);
  }
  return names;
}

std::optional<std::vector<LiveContact>> queryLiveContacts(const SqliteConnection& db, const std::string& sql) {
  SqliteStatement statement(db.handle(), sql);
  if (!statement.prepared()) return std::nullopt;
  std::vector<LiveContact> rows;
  while (statement.nextRow()) {
    rows.push_back(LiveContact{columnText(statement.get(), 0), columnText(statement.get(), 1)});
  }
  return rows;
}

}  // namespace engine
