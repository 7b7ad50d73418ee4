#include "bench/BenchDatabases.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace bench {

namespace {

[[noreturn]] void fail(sqlite3* db, const char* what) {
  std::fprintf(stderr, "bench: %s: %s\n", what, db ? sqlite3_errmsg(db) : "cannot open");
  std::exit(1);
}

void exec(sqlite3* db, const char* sql) {
  if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail(db, sql);
}

sqlite3* create(const std::string& path) {
  std::filesystem::remove(path);
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) fail(db, path.c_str());
  // Deleted rows must stay in the free space for the engine to find.
  exec(db, "PRAGMA secure_delete=OFF; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF");
  return db;
}

sqlite3_stmt* prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) fail(db, sql);
  return statement;
}

void bindText(sqlite3_stmt* statement, int slot, const std::string& text) {
  sqlite3_bind_text(statement, slot, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void stepAndReset(sqlite3* db, sqlite3_stmt* statement) {
  if (sqlite3_step(statement) != SQLITE_DONE) fail(db, "insert");
  sqlite3_reset(statement);
}

const char* const kWords[] = {"see", "you", "at", "the", "station", "tomorrow", "dinner", "running", "late",
                              "call", "me", "when", "home", "thanks", "meeting", "moved", "to", "friday",
                              "café", "über", "明天见", "ok", "👍", "parcel", "delivered"};

std::string messageBody(std::mt19937& random) {
  std::string body;
  const int words = 4 + static_cast<int>(random() % 40);
  for (int k = 0; k < words; ++k) {
    if (k > 0) body += ' ';
    body += kWords[random() % (sizeof kWords / sizeof kWords[0])];
  }
  return body;
}

void execText(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::fprintf(stderr, "bench: %s: %s\n", sql.c_str(), message ? message : "?");
    std::exit(1);
  }
}

sqlite3* createInTransaction(const std::string& path) {
  sqlite3* db = create(path);
  execText(db, "BEGIN");
  return db;
}

}  // namespace

void makePhoneContacts(const std::string& path, int contacts) {
  sqlite3* db = createInTransaction(path);
  execText(db, "CREATE TABLE mimetypes (_id INTEGER PRIMARY KEY, mimetype TEXT NOT NULL);"
           "INSERT INTO mimetypes VALUES (5, 'vnd.android.cursor.item/phone_v2'), "
           "(1, 'vnd.android.cursor.item/email_v2'), (7, 'vnd.android.cursor.item/name');"
           "CREATE TABLE raw_contacts (_id INTEGER PRIMARY KEY, account_id INTEGER, deleted INTEGER NOT NULL DEFAULT 0,"
           " contact_id INTEGER, display_name TEXT, display_name_source INTEGER NOT NULL DEFAULT 0);"
           "CREATE TABLE contacts (_id INTEGER PRIMARY KEY, name_raw_contact_id INTEGER);"
           "CREATE TABLE data (_id INTEGER PRIMARY KEY AUTOINCREMENT, package_id INTEGER, mimetype_id INTEGER NOT NULL,"
           " raw_contact_id INTEGER NOT NULL, is_read_only INTEGER NOT NULL DEFAULT 0, data1 TEXT, data2 TEXT,"
           " data3 TEXT, data4 TEXT, data5 TEXT)");
  for (int k = 1; k <= contacts; ++k) {
    const std::string id = std::to_string(k);
    execText(db, "INSERT INTO raw_contacts (_id, contact_id, display_name, display_name_source) VALUES (" + id + "," + id +
                 ",'Person " + id + "',40); INSERT INTO contacts VALUES (" + id + "," + id + ");"
                 "INSERT INTO data (mimetype_id, raw_contact_id, data1, data2) VALUES (7," + id + ",'Person " + id +
                 "','Person'), (5," + id + ",'+1415" + std::to_string(5550000 + k) + "','2'), (1," + id +
                 ",'person" + id + "@example.com','1')");
  }
  execText(db, "COMMIT");
  sqlite3_close(db);
}

void makePhoneSms(const std::string& path, int messages, int threads) {
  sqlite3* db = createInTransaction(path);
  execText(db, "CREATE TABLE threads (_id INTEGER PRIMARY KEY, date INTEGER);"
           "CREATE TABLE sms (_id INTEGER PRIMARY KEY, thread_id INTEGER, address TEXT, person INTEGER, date INTEGER,"
           " type INTEGER, body TEXT)");
  for (int t = 1; t <= threads; ++t) execText(db, "INSERT INTO threads VALUES (" + std::to_string(t) + ", 0)");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO sms (thread_id, address, person, date, type, body) VALUES (?,?,?,?,?,?)", -1,
                     &insert, nullptr);
  for (int k = 0; k < messages; ++k) {
    const int thread = 1 + k % threads;
    const std::string address = "+1415" + std::to_string(5550000 + thread);
    const std::string body = "Message " + std::to_string(k) + ": see you at the station at six, bring the tickets.";
    sqlite3_bind_int(insert, 1, thread);
    sqlite3_bind_text(insert, 2, address.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 3, thread);
    sqlite3_bind_int64(insert, 4, 1600000000000LL + k * 60000LL);
    sqlite3_bind_int(insert, 5, 1 + k % 2);
    sqlite3_bind_text(insert, 6, body.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  execText(db, "COMMIT; DELETE FROM sms WHERE _id % 50 = 7");
  sqlite3_close(db);
}


std::int64_t makeSmsDatabase(const std::string& path, std::uint64_t targetBytes, const std::string& truthPath) {
  sqlite3* db = create(path);
  std::FILE* truth = truthPath.empty() ? nullptr : std::fopen(truthPath.c_str(), "wb");
  exec(db,
       "CREATE TABLE sms (_id INTEGER PRIMARY KEY, thread_id INTEGER, address TEXT, person INTEGER, "
       "date INTEGER, date_sent INTEGER DEFAULT 0, protocol INTEGER, read INTEGER DEFAULT 0, "
       "status INTEGER DEFAULT -1, type INTEGER, reply_path_present INTEGER, subject TEXT, body TEXT, "
       "service_center TEXT, locked INTEGER DEFAULT 0, sub_id INTEGER DEFAULT -1, "
       "error_code INTEGER DEFAULT 0, creator TEXT, seen INTEGER DEFAULT 0)");
  sqlite3_stmt* insert = prepare(db,
      "INSERT INTO sms (thread_id, address, person, date, date_sent, protocol, read, status, type, "
      "reply_path_present, body, service_center, locked, sub_id, error_code, creator, seen) "
      "VALUES (?, ?, 0, ?, ?, 0, 1, -1, ?, 0, ?, '+14155550100', 0, 1, 0, 'com.android.messaging', 1)");
  std::mt19937 random(7);
  // About 190 bytes a row on disk: check the size every so often.
  std::int64_t rows = 0;
  exec(db, "BEGIN");
  for (;;) {
    for (int k = 0; k < 50000; ++k, ++rows) {
      const int thread = 1 + static_cast<int>(random() % 2000);
      sqlite3_bind_int(insert, 1, thread);
      bindText(insert, 2, "+1415555" + std::to_string(1000 + thread));
      sqlite3_bind_int64(insert, 3, 1600000000000 + rows * 60000);
      sqlite3_bind_int64(insert, 4, 1600000000000 + rows * 60000 - 2000);
      sqlite3_bind_int(insert, 5, 1 + static_cast<int>(random() % 2));
      const std::string body = messageBody(random);
      bindText(insert, 6, body);
      stepAndReset(db, insert);
      // The rowid is rows + 1; the same rule as the DELETE below.
      if (truth != nullptr && ((rows + 1) * 7919) % 10 == 3) {
        std::fprintf(truth, "+1415555%d\t%s\n", 1000 + thread, body.c_str());
      }
    }
    exec(db, "COMMIT");
    if (std::filesystem::file_size(path) >= targetBytes) break;
    exec(db, "BEGIN");
  }
  sqlite3_finalize(insert);
  if (truth != nullptr) std::fclose(truth);
  // A tenth deleted, scattered: every tenth row by a shuffled key.
  exec(db, "DELETE FROM sms WHERE (_id * 7919) % 10 = 3");
  const std::int64_t deleted = rows - [&] {
    sqlite3_stmt* count = prepare(db, "SELECT count(*) FROM sms");
    sqlite3_step(count);
    const std::int64_t live = sqlite3_column_int64(count, 0);
    sqlite3_finalize(count);
    return live;
  }();
  sqlite3_close(db);
  return deleted;
}

void makeContactsDatabase(const std::string& path, int liveRows, int deletedRows) {
  sqlite3* db = create(path);
  exec(db,
       "CREATE TABLE data (_id INTEGER PRIMARY KEY AUTOINCREMENT, package_id INTEGER, "
       "mimetype_id INTEGER NOT NULL, raw_contact_id INTEGER NOT NULL, hash_id TEXT, "
       "is_read_only INTEGER NOT NULL DEFAULT 0, is_primary INTEGER NOT NULL DEFAULT 0, "
       "is_super_primary INTEGER NOT NULL DEFAULT 0, data_version INTEGER NOT NULL DEFAULT 0, "
       "data1 TEXT, data2 TEXT, data3 TEXT, data4 TEXT, data5 TEXT, data6 TEXT, data7 TEXT, "
       "data8 TEXT, data9 TEXT, data10 TEXT, data11 TEXT, data12 TEXT, data13 TEXT, data14 TEXT, "
       "data15 TEXT, data_sync1 TEXT, data_sync2 TEXT, data_sync3 TEXT, data_sync4 TEXT)");
  sqlite3_stmt* insert =
      prepare(db, "INSERT INTO data (mimetype_id, raw_contact_id, data1, data2) VALUES (?, ?, ?, ?)");
  exec(db, "BEGIN");
  const int total = liveRows + deletedRows;
  for (int row = 0; row < total; ++row) {
    const int contact = row / 3;
    const int kind = row % 3;
    sqlite3_bind_int(insert, 1, kind == 0 ? 7 : kind == 1 ? 5 : 1);
    sqlite3_bind_int(insert, 2, contact);
    bindText(insert, 3, kind == 0   ? "Person " + std::to_string(contact)
                        : kind == 1 ? "+1415555" + std::to_string(1000 + contact % 2000)
                                    : "person" + std::to_string(contact) + "@example.com");
    bindText(insert, 4, kind == 0 ? "Person" : "2");
    stepAndReset(db, insert);
  }
  exec(db, "COMMIT");
  sqlite3_finalize(insert);
  // Delete whole contacts, spread evenly over the table.
  const int contacts = total / 3;
  const int deletedContacts = deletedRows / 3;
  if (deletedContacts > 0) {
    const int step = std::max(1, contacts / deletedContacts);
    const std::string sql = "DELETE FROM data WHERE raw_contact_id % " + std::to_string(step) +
                            " = 0 AND raw_contact_id / " + std::to_string(step) + " < " +
                            std::to_string(deletedContacts);
    exec(db, sql.c_str());
  }
  sqlite3_close(db);
}

}  // namespace bench
