#pragma once
// The little the recovery session asks SQLite: where a table's root page is,
// what its columns are called, and the live contact rows. Connections are
// read-only: the copies are evidence, so no hot journal is rolled back and no
// WAL is checkpointed into the file that is about to be carved.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/CarvedRecords.h"

struct sqlite3;
struct sqlite3_stmt;

namespace engine {

// A read-only connection, closed on destruction.
class SqliteConnection {
 public:
  SqliteConnection() = default;
  ~SqliteConnection();
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  // Opens a narrow path read-only; false when SQLite refuses.
  bool open(const std::string& path);
  void close();
  sqlite3* handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

// A prepared statement, finalized on destruction; not prepared when SQLite
// refuses the text or there is no connection.
class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, const std::string& sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  bool prepared() const { return statement_ != nullptr; }
  // Steps to the next row; false at the end or on an error.
  bool nextRow();
  sqlite3_stmt* get() const { return statement_; }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

// Runs a query for root page numbers; the low 32 bits of the last value
// read, or nothing when the query fails or yields no value.
std::optional<std::int32_t> queryRootPage(const SqliteConnection& db, const std::string& sql);

// Column names of a query's result, known from the prepared statement even
// when it yields no row; nothing when it cannot be prepared.
std::optional<std::vector<std::string>> queryColumnNames(const SqliteConnection& db, const std::string& sql);

// Rows of a two-column query as text (NULL as empty); nothing when the query
// cannot be prepared.
std::optional<std::vector<LiveContact>> queryLiveContacts(const SqliteConnection& db, const std::string& sql);

}  // namespace engine
