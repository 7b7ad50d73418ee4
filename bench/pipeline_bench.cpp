// Times the scan (counting and loading) and a full export on a large phone,
// then on one twice as large: the growth should stay linear.
//
//   pipeline_bench [--contacts N] [--messages N] [--threads N] [--dir DIR]
//
// Defaults: 20,000 contacts (60,000 data rows), 200,000 messages in 2,000
// threads; the doubled phone has twice of each.

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "engine/SqliteParse.h"
#include "phone/PhoneRecords.h"
#include "phone/ScanWorkflow.h"
#include "platform/ManualResetEvent.h"
#include "platform/TextEncoding.h"
#include "records/ExportJob.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

void exec(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::fprintf(stderr, "pipeline_bench: %s: %s\n", sql.c_str(), message ? message : "?");
    std::exit(1);
  }
}

sqlite3* create(const fs::path& path) {
  fs::remove(path);
  sqlite3* db = nullptr;
  sqlite3_open(path.string().c_str(), &db);
  exec(db, "PRAGMA secure_delete=OFF; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN");
  return db;
}

void makeContacts(const fs::path& path, int contacts) {
  sqlite3* db = create(path);
  exec(db, "CREATE TABLE mimetypes (_id INTEGER PRIMARY KEY, mimetype TEXT NOT NULL);"
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
    exec(db, "INSERT INTO raw_contacts (_id, contact_id, display_name, display_name_source) VALUES (" + id + "," + id +
                 ",'Person " + id + "',40); INSERT INTO contacts VALUES (" + id + "," + id + ");"
                 "INSERT INTO data (mimetype_id, raw_contact_id, data1, data2) VALUES (7," + id + ",'Person " + id +
                 "','Person'), (5," + id + ",'+1415" + std::to_string(5550000 + k) + "','2'), (1," + id +
                 ",'person" + id + "@example.com','1')");
  }
  exec(db, "COMMIT");
  sqlite3_close(db);
}

void makeSms(const fs::path& path, int messages, int threads) {
  sqlite3* db = create(path);
  exec(db, "CREATE TABLE threads (_id INTEGER PRIMARY KEY, date INTEGER);"
           "CREATE TABLE sms (_id INTEGER PRIMARY KEY, thread_id INTEGER, address TEXT, person INTEGER, date INTEGER,"
           " type INTEGER, body TEXT)");
  for (int t = 1; t <= threads; ++t) exec(db, "INSERT INTO threads VALUES (" + std::to_string(t) + ", 0)");
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
  exec(db, "COMMIT; DELETE FROM sms WHERE _id % 50 = 7");
  sqlite3_close(db);
}

class NoSink : public phone::ScanSink {
 public:
  void progressPosition(int) override {}
  void categoryLoaded(const std::string&, const std::string& caption) override { last = caption; }
  std::string last;
};

double seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

struct Timing {
  double recovery, scan, exportSeconds;
  int exported;
};

Timing measure(const fs::path& dir, int contacts, int messages, int threads) {
  const fs::path contactsDb = dir / "contacts2.db";
  const fs::path smsDb = dir / "mmssms.db";
  makeContacts(contactsDb, contacts);
  makeSms(smsDb, messages, threads);

  Timing timing{};
  auto start = Clock::now();
  std::string deletedContacts, deletedMessages;
  {
    SqliteParse contactsSession(contactsDb.string(), smsDb.string());
    contactsSession.startParse(eContacts);
    deletedContacts = contactsSession.get_contacts_mem();
    SqliteParse smsSession(contactsDb.string(), smsDb.string());
    smsSession.startParse(eSms);
    deletedMessages = smsSession.get_contacts_mem();
  }
  timing.recovery = seconds(start);

  phone::PhoneRecords records;
  NoSink sink;
  platform::ManualResetEvent gate(true);
  std::atomic<int> stop{0};
  start = Clock::now();
  phone::ScanWorkflow scan(records, sink, gate, stop);
  scan.setCopies(contactsDb.string(), smsDb.string());
  scan.setRecoveredTexts(deletedContacts, deletedMessages);
  scan.ScanThreadProc();
  timing.scan = seconds(start);

  start = Clock::now();
  const records::ExportRecords exportRecords = records::ExportRecordsOf(records, deletedContacts, deletedMessages);
  records::ExportCategory contactsCategory{u"Contacts", true, true};
  records::ExportCategory messagesCategory{u"Message", true, true};
  records::ExportState state(gate, stop);
  const std::int32_t checked = records::CountCheckedRecords(exportRecords, contactsCategory, messagesCategory);
  fs::remove_all(dir / "export");
  fs::create_directories(dir / "export");
  records::PrepareExport(state, checked, platform::utf16FromNarrow((dir / "export").string()), std::time(nullptr));
  timing.exported = records::RunExport(exportRecords, contactsCategory, messagesCategory, state);
  timing.exportSeconds = seconds(start);
  return timing;
}

}  // namespace

int main(int argc, char** argv) {
  int contacts = 20000, messages = 200000, threads = 2000;
  std::string dir = "build/bench-data/pipeline";
  for (int k = 1; k + 1 < argc; k += 2) {
    const std::string name = argv[k];
    if (name == "--contacts") contacts = std::atoi(argv[k + 1]);
    else if (name == "--messages") messages = std::atoi(argv[k + 1]);
    else if (name == "--threads") threads = std::atoi(argv[k + 1]);
    else if (name == "--dir") dir = argv[k + 1];
  }
  fs::create_directories(dir);
  const Timing single = measure(dir, contacts, messages, threads);
  const Timing doubled = measure(dir, 2 * contacts, 2 * messages, 2 * threads);
  const auto report = [](const char* label, const Timing& t) {
    std::printf("%-8s recovery %6.3f s  scan %6.3f s  export %6.3f s  (%d records exported)  scan+export %6.3f s\n",
                label, t.recovery, t.scan, t.exportSeconds, t.exported, t.scan + t.exportSeconds);
  };
  report("phone", single);
  report("doubled", doubled);
  std::printf("growth   scan x%.2f  export x%.2f  scan+export x%.2f\n", doubled.scan / single.scan,
              doubled.exportSeconds / single.exportSeconds,
              (doubled.scan + doubled.exportSeconds) / (single.scan + single.exportSeconds));
  return 0;
}
