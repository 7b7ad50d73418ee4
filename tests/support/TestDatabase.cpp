#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <iterator>

#include "engine/SqliteParse.h"

namespace testing_support {

TestDatabase::TestDatabase(const std::string& path, int pageSize) {
  if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
    ADD_FAILURE() << "cannot open " << path;
    return;
  }
  exec("PRAGMA secure_delete=OFF");
  if (pageSize != 0) exec("PRAGMA page_size=" + std::to_string(pageSize));
}

TestDatabase::~TestDatabase() { close(); }

void TestDatabase::close() {
  sqlite3_close(db_);
  db_ = nullptr;
}

void TestDatabase::exec(const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    ADD_FAILURE() << sql << ": " << (message ? message : "?");
  }
  sqlite3_free(message);
}

void TestDatabase::run(const std::string& sql, const std::vector<std::string>& params) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
    return;
  }
  for (std::size_t index = 0; index < params.size(); ++index) {
    const std::string& value = params[index];
    const int slot = static_cast<int>(index + 1);
    if (value == "\x01") {
      sqlite3_bind_null(statement, slot);
    } else if (!value.empty() && value[0] == '#') {
      sqlite3_bind_int64(statement, slot, std::stoll(value.substr(1)));
    } else {
      sqlite3_bind_text(statement, slot, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    }
  }
  if (sqlite3_step(statement) != SQLITE_DONE) ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
  sqlite3_finalize(statement);
}

std::int64_t TestDatabase::scalar(const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  std::int64_t value = 0;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW) {
    value = sqlite3_column_int64(statement, 0);
  }
  sqlite3_finalize(statement);
  return value;
}

std::string contactsDataSchema() {
  return "CREATE TABLE data (_id INTEGER PRIMARY KEY AUTOINCREMENT, package_id INTEGER, "
         "mimetype_id INTEGER NOT NULL, raw_contact_id INTEGER NOT NULL, hash_id TEXT, "
         "is_read_only INTEGER NOT NULL DEFAULT 0, is_primary INTEGER NOT NULL DEFAULT 0, "
         "is_super_primary INTEGER NOT NULL DEFAULT 0, data_version INTEGER NOT NULL DEFAULT 0, "
         "data1 TEXT, data2 TEXT, data3 TEXT, data4 TEXT, data5 TEXT, data6 TEXT, data7 TEXT, "
         "data8 TEXT, data9 TEXT, data10 TEXT, data11 TEXT, data12 TEXT, data13 TEXT, data14 TEXT, "
         "data15 TEXT, data_sync1 TEXT, data_sync2 TEXT, data_sync3 TEXT, data_sync4 TEXT)";
}

std::string smsSchema() {
  return "CREATE TABLE sms (_id INTEGER PRIMARY KEY, thread_id INTEGER, address TEXT, person INTEGER, "
         "date INTEGER, date_sent INTEGER DEFAULT 0, protocol INTEGER, read INTEGER DEFAULT 0, "
         "status INTEGER DEFAULT -1, type INTEGER, reply_path_present INTEGER, subject TEXT, body TEXT, "
         "service_center TEXT, locked INTEGER DEFAULT 0, sub_id INTEGER DEFAULT -1, "
         "error_code INTEGER DEFAULT 0, creator TEXT, seen INTEGER DEFAULT 0)";
}

void addDataRow(TestDatabase& db, std::int64_t rawContactId, const std::string& data1) {
  db.run("INSERT INTO data (mimetype_id, raw_contact_id, data1) VALUES (5, ?, ?)",
         {"#" + std::to_string(rawContactId), data1});
}

void addMessage(TestDatabase& db, const std::string& address, const std::string& body) {
  db.run("INSERT INTO sms (thread_id, address, person, date, date_sent, protocol, read, status, type, "
         "reply_path_present, body, locked, sub_id, error_code, seen) "
         "VALUES (3, ?, 0, 1600000000000, 1600000000000, 0, 1, -1, 1, 0, ?, 0, 1, 0, 1)",
         {address, body});
}

std::vector<std::uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void patchBytes(const std::string& path, std::uint64_t offset, const std::vector<std::uint8_t>& bytes) {
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  file.seekp(static_cast<std::streamoff>(offset));
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void putU16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
  bytes.at(offset) = static_cast<std::uint8_t>(value >> 8);
  bytes.at(offset + 1) = static_cast<std::uint8_t>(value);
}

void putU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
  for (int k = 0; k < 4; ++k) bytes.at(offset + static_cast<std::size_t>(k)) = static_cast<std::uint8_t>(value >> (24 - 8 * k));
}

std::uint32_t rootPageOf(const std::string& path, const std::string& table) {
  TestDatabase db(path);
  return static_cast<std::uint32_t>(
      db.scalar("SELECT rootpage FROM sqlite_master WHERE type='table' AND name='" + table + "'"));
}

std::string recover(const std::string& contactsPath, const std::string& smsPath, int kind) {
  SqliteParse session(contactsPath, smsPath);
  session.startParse(static_cast<ePaserType>(kind));
  return session.get_contacts_mem();
}

}  // namespace testing_support
