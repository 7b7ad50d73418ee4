#pragma once
// Builds real SQLite databases for the tests, with secure delete off so that
// deleted rows stay in the free space, and edits their bytes afterwards.

#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;

namespace testing_support {

class TestDatabase {
 public:
  // Creates (or opens) the file; `pageSize` 0 keeps SQLite's default.
  explicit TestDatabase(const std::string& path, int pageSize = 0);
  ~TestDatabase();
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  // Runs statements; fails the test on an error.
  void exec(const std::string& sql);
  // Runs one statement with text/integer/NULL parameters given as strings:
  // "\x01" stands for NULL, a leading '#' for an integer.
  void run(const std::string& sql, const std::vector<std::string>& params);
  std::int64_t scalar(const std::string& sql);
  void close();

 private:
  sqlite3* db_ = nullptr;
};

// The usual contacts `data` columns, in the order a phone has them.
std::string contactsDataSchema();
// The usual `sms` columns.
std::string smsSchema();

// Adds one data row of a raw contact, the other columns left NULL.
void addDataRow(TestDatabase& db, std::int64_t rawContactId, const std::string& data1);
// Adds one message; the other columns get a phone's usual values.
void addMessage(TestDatabase& db, const std::string& address, const std::string& body);

std::vector<std::uint8_t> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
void patchBytes(const std::string& path, std::uint64_t offset, const std::vector<std::uint8_t>& bytes);
void putU16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value);
void putU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);

// Root page of a table as SQLite sees it.
std::uint32_t rootPageOf(const std::string& path, const std::string& table);

// Runs a whole recovery session and returns its text.
std::string recover(const std::string& contactsPath, const std::string& smsPath, int kind);

}  // namespace testing_support
