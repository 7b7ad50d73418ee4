#pragma once
// The little the recovery session asks SQLite: where a table's root page is,
// what its columns are called, and the live contact rows. The copies are
// evidence: they are read through a PrivateWorkingCopy, which is opened
// read-write so that SQLite may roll back a hot journal or read a WAL there,
// never beside the input.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/CarvedRecords.h"

struct sqlite3;
struct sqlite3_stmt;

namespace engine {

// A connection, closed on destruction. Every connection refuses values
// longer than kMaxValueBytes, so that a hostile file cannot make one value
// fill memory.
class SqliteConnection {
 public:
  SqliteConnection() = default;
  ~SqliteConnection();
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  static constexpr int kMaxValueBytes = 16 * 1024 * 1024;

  // Opens a narrow path read-only; false when SQLite refuses.
  bool open(const std::string& path);
  // Opens a private working copy read-write (never creating it), so that a
  // hot journal beside it is rolled back there; false when SQLite refuses.
  bool openWorkingCopy(const std::string& path);
  void close();
  sqlite3* handle() const { return db_; }

 private:
  bool openWith(const std::string& path, int flags);

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
