// make-android-phones OUTPUT_DIR [--large-messages N] [--only PHONE]
//
// Writes phones whose databases were made the way Android makes them, for
// measuring how much of what was deleted comes back. Each phone is a folder
// with contacts2.db and mmssms.db, the side files a copy would bring along
// (-wal, -journal), and truth.txt: one line per deleted row,
//   contact<TAB>data1               a deleted contacts data row
//   sms<TAB>address<TAB>body        a deleted message
//
// Android's settings on every connection: auto_vacuum FULL (set before the
// first table), journal_size_limit 524288, wal_autocheckpoint 100, and
// secure_delete set explicitly, ON from 8.0, OFF before. A copy "pulled
// while the provider had the database open" is made by copying the files
// while a connection is still open; closing it afterwards checkpoints only
// the original.
//
//   android9-open-wal       both databases in WAL, secure delete on; the
//                           deletions are in the -wal, not yet checkpointed
//   android9-after-checkpoint  the same after a checkpoint: a new log
//                           generation wrote over the start of the -wal
//   persist-journal         PERSIST journals, secure delete on: a large
//                           transaction's records behind later small ones
//   synced-account          Google contacts marked deleted (waiting for a
//                           sync), local contacts deleted for good
//   large-sms               24,000 messages of 200 to 450 bytes, one in ten
//                           deleted here and there, secure delete off
//   emptied-table           the oldest half of the messages deleted in
//                           batches, page by page, onto the freelist (no
//                           auto-vacuum, secure delete off)
//
// Deterministic: fixed dates and a fixed-seed generator.

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>
#include <string>
#include <variant>
#include <vector>

#include "tools/DeterministicRandom.h"
#include "tools/ProviderSchemas.h"

namespace {

namespace fs = std::filesystem;
using Param = std::variant<std::nullptr_t, std::int64_t, std::string>;

[[noreturn]] void die(const std::string& message) {
  std::fprintf(stderr, "make-android-phones: %s\n", message.c_str());
  std::exit(1);
}

class Db {
 public:
  explicit Db(const fs::path& path) {
    if (sqlite3_open(path.string().c_str(), &db_) != SQLITE_OK) die("cannot open " + path.string());
  }
  ~Db() { close(); }
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  void close() {
    if (db_ != nullptr && sqlite3_close(db_) != SQLITE_OK) die("cannot close: " + std::string(sqlite3_errmsg(db_)));
    db_ = nullptr;
  }

  void exec(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      die(sql.substr(0, 80) + ": " + (message ? message : "?"));
    }
  }

  void run(const std::string& sql, const std::vector<Param>& params) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) die(sql + ": " + sqlite3_errmsg(db_));
    for (std::size_t k = 0; k < params.size(); ++k) {
      const int slot = static_cast<int>(k + 1);
      if (const auto* number = std::get_if<std::int64_t>(&params[k])) {
        sqlite3_bind_int64(statement, slot, *number);
      } else if (const auto* text = std::get_if<std::string>(&params[k])) {
        sqlite3_bind_text(statement, slot, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
      } else {
        sqlite3_bind_null(statement, slot);
      }
    }
    if (sqlite3_step(statement) != SQLITE_DONE) die(sql + ": " + sqlite3_errmsg(db_));
    sqlite3_finalize(statement);
  }

 private:
  sqlite3* db_ = nullptr;
};

enum class Journal { kWal, kPersist, kTruncate, kDelete };

struct Settings {
  bool secureDelete = true;
  bool autoVacuum = true;
  Journal journal = Journal::kWal;
};

const char* journalModeName(Journal journal) {
  switch (journal) {
    case Journal::kWal:
      return "WAL";
    case Journal::kPersist:
      return "PERSIST";
    case Journal::kTruncate:
      return "TRUNCATE";
    case Journal::kDelete:
      return "DELETE";
  }
  return "DELETE";
}

// What every framework connection sets when it opens the database.
void connectionSettings(Db& db, const Settings& settings) {
  db.exec(std::string("PRAGMA secure_delete=") + (settings.secureDelete ? "ON" : "OFF"));
  db.exec("PRAGMA journal_size_limit=524288");
  db.exec(std::string("PRAGMA journal_mode=") + journalModeName(settings.journal));
  db.exec("PRAGMA wal_autocheckpoint=100");
  // Only how often the files are flushed, not what they hold: keeps the
  // generator fast.
  db.exec("PRAGMA synchronous=OFF");
}

// A new database with the provider's tables.
void createDatabase(const fs::path& path, const Settings& settings, const char* schema) {
  for (const char* suffix : {"", "-wal", "-journal", "-shm"}) fs::remove(path.string() + suffix);
  Db db(path);
  db.exec(std::string("PRAGMA auto_vacuum=") + (settings.autoVacuum ? "FULL" : "NONE"));
  db.exec("PRAGMA page_size=4096");
  connectionSettings(db, settings);
  db.exec(schema);
}

// Copies the database and whichever side files exist, as adb pulls them.
void copyWithSideFiles(const fs::path& from, const fs::path& to) {
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  for (const char* suffix : {"-wal", "-journal"}) {
    const fs::path side = from.string() + suffix;
    fs::remove(to.string() + suffix);
    if (fs::exists(side)) fs::copy_file(side, to.string() + suffix);
  }
}

using Random = phone_tools::Rng;

const char* const kFirstNames[] = {"Amara", "Bruno", "Chen", "Dalia", "Emeka", "Fiona", "Goran", "Hana", "Ivo",
                                   "Jana", "Kofi", "Lena", "Mateo", "Nora", "Omar", "Priya", "Quinn", "Rosa",
                                   "Sven", "Tara", "Umar", "Vera", "Wen", "Ximena", "Yusuf", "Zoe"};
const char* const kLastNames[] = {"Adler", "Bianchi", "Costa", "Dubois", "Eriksen", "Fischer", "García", "Haddad",
                                  "Ivanova", "Jensen", "Kowalczyk", "Lindqvist", "Moreau", "Nakamura", "Okafor"};
const char* const kPhrases[] = {"see you at the station at six", "running ten minutes late, sorry",
                                "did you get the tickets for Saturday?", "the parcel was left with the neighbour",
                                "call me when you land", "dinner is at Marta's, bring the salad",
                                "the meeting moved to Thursday morning", "can you pick up the kids today?",
                                "thanks again for the lift yesterday", "the landlord says the boiler is fixed",
                                "happy birthday! 🎂", "bought the train tickets, platform 4",
                                "don't forget the dentist at 3", "the car is ready at the garage",
                                "Ich komme später, der Zug hat Verspätung", "¿nos vemos mañana en el café?",
                                "明天见，别忘了带伞", "the wifi password is on the fridge"};

struct Contact {
  std::int64_t id = 0;
  std::string name;
  std::string phone;
  std::string email;
  std::int64_t account = 1;  // 1 the phone, 2 a Google account
};

std::vector<Contact> makeContacts(int count) {
  std::vector<Contact> contacts;
  for (int k = 1; k <= count; ++k) {
    Contact contact;
    contact.id = k;
    contact.name = std::string(kFirstNames[k % 26]) + " " + kLastNames[(k * 7) % 15] + (k > 26 ? " " + std::to_string(k) : "");
    char phone[32];
    std::snprintf(phone, sizeof phone, "+1202555%04d", 1000 + k * 13);
    contact.phone = phone;
    contact.email = "contact" + std::to_string(k) + "@example.org";
    contact.account = k % 3 == 0 ? 2 : 1;
    contacts.push_back(contact);
  }
  return contacts;
}

void seedContactsTables(Db& db) {
  db.exec("INSERT INTO accounts (account_name, account_type, data_set) VALUES (NULL, NULL, NULL)");
  db.exec("INSERT INTO accounts (account_name, account_type, data_set) VALUES ('owner@example.org', 'com.google', NULL)");
  for (const char* mimetype : phone_schema::kMimetypes) db.run("INSERT INTO mimetypes (mimetype) VALUES (?)", {std::string(mimetype)});
}

void addContact(Db& db, const Contact& contact) {
  db.run("INSERT INTO raw_contacts (_id, account_id, sourceid, contact_id, display_name, display_name_alt, "
         "display_name_source, sort_key) VALUES (?, ?, ?, ?, ?, ?, 40, ?)",
         {contact.id, contact.account, contact.account == 2 ? Param(std::to_string(contact.id * 7919)) : Param(nullptr),
          contact.id, contact.name, contact.name, contact.name});
  db.run("INSERT INTO contacts (_id, name_raw_contact_id, has_phone_number, lookup) VALUES (?, ?, 1, ?)",
         {contact.id, contact.id, "0r" + std::to_string(contact.id)});
  db.run("INSERT INTO data (mimetype_id, raw_contact_id, data1, data2) VALUES (7, ?, ?, ?)",
         {contact.id, contact.name, contact.name.substr(0, contact.name.find(' '))});
  db.run("INSERT INTO data (mimetype_id, raw_contact_id, data1, data2, data4) VALUES (5, ?, ?, '2', ?)",
         {contact.id, contact.phone, contact.phone});
  db.run("INSERT INTO data (mimetype_id, raw_contact_id, data1, data2) VALUES (1, ?, ?, '1')", {contact.id, contact.email});
}

using Truth = std::vector<std::string>;

void noteContact(Truth& truth, const Contact& contact) {
  for (const std::string& value : {contact.name, contact.phone, contact.email}) truth.push_back("contact\t" + value);
}

// A contact of the phone's own account is deleted with its rows.
void deleteContact(Db& db, const Contact& contact, Truth& truth) {
  db.run("DELETE FROM raw_contacts WHERE _id = ?", {contact.id});
  noteContact(truth, contact);
}

// A contact of a synced account is only marked until the account syncs.
void markContactDeleted(Db& db, const Contact& contact, Truth& truth) {
  db.run("UPDATE raw_contacts SET deleted = 1, dirty = 1, contact_id = NULL WHERE _id = ?", {contact.id});
  db.run("DELETE FROM contacts WHERE _id = ?", {contact.id});
  db.run("INSERT INTO deleted_contacts (contact_id, contact_deleted_timestamp) VALUES (?, ?)",
         {contact.id, std::int64_t{1600000000000}});
  noteContact(truth, contact);
}

struct Message {
  std::int64_t id = 0;
  std::int64_t thread = 0;
  std::string address;
  std::string body;
};

std::vector<Message> makeMessages(const std::vector<Contact>& contacts, int count, int threads, std::size_t minBody,
                                  std::size_t maxBody, std::uint64_t seed) {
  Random random(seed);
  std::vector<Message> messages;
  for (int k = 1; k <= count; ++k) {
    Message message;
    message.id = k;
    message.thread = 1 + random.below(threads);
    message.address = contacts[static_cast<std::size_t>(message.thread - 1) % contacts.size()].phone;
    message.body = "#" + std::to_string(k) + " ";
    const std::size_t target = minBody + static_cast<std::size_t>(random.below(static_cast<int>(maxBody - minBody + 1)));
    while (message.body.size() < target) {
      message.body += kPhrases[random.below(static_cast<int>(sizeof kPhrases / sizeof kPhrases[0]))];
      message.body += message.body.size() < target ? ". " : ".";
    }
    messages.push_back(message);
  }
  return messages;
}

void seedThreads(Db& db, const std::vector<Message>& messages) {
  std::int64_t last = 0;
  for (const Message& message : messages) last = std::max(last, message.thread);
  for (std::int64_t thread = 1; thread <= last; ++thread) {
    db.run("INSERT INTO threads (_id, date, recipient_ids) VALUES (?, 0, ?)", {thread, std::to_string(thread)});
  }
}

// As the provider stores a message: the row and its full-text entry.
void addMessage(Db& db, const Message& message) {
  db.run("INSERT INTO sms (_id, thread_id, address, person, date, date_sent, protocol, read, status, type, "
         "reply_path_present, body, service_center, locked, sub_id, error_code, creator, seen) "
         "VALUES (?, ?, ?, 0, ?, ?, 0, 1, -1, ?, 0, ?, NULL, 0, 1, 0, 'com.android.messaging', 1)",
         {message.id, message.thread, message.address, 1600000000000 + message.id * 61000,
          1600000000000 + message.id * 61000 - 3000, std::int64_t{1 + message.id % 2}, message.body});
  db.run("INSERT INTO words (_id, index_text, source_id, table_to_use) VALUES (?, ?, ?, 1)",
         {message.id, message.body, message.id});
}

void deleteMessage(Db& db, const Message& message, Truth& truth) {
  db.run("DELETE FROM sms WHERE _id = ?", {message.id});
  truth.push_back("sms\t" + message.address + "\t" + message.body);
}

void writeTruth(const fs::path& folder, const Truth& truth) {
  std::ofstream out(folder / "truth.txt", std::ios::binary);
  for (const std::string& line : truth) out << line << "\n";
}

// A database filled and closed (checkpointed), ready for the deletions.
void makeContactsDb(const fs::path& path, const Settings& settings, const std::vector<Contact>& contacts) {
  createDatabase(path, settings, phone_schema::kContactsSchema);
  Db db(path);
  connectionSettings(db, settings);
  db.exec("BEGIN");
  seedContactsTables(db);
  for (const Contact& contact : contacts) addContact(db, contact);
  db.exec("COMMIT");
}

void makeSmsDb(const fs::path& path, const Settings& settings, const std::vector<Message>& messages) {
  createDatabase(path, settings, phone_schema::kMessagesSchema);
  Db db(path);
  connectionSettings(db, settings);
  db.exec("BEGIN");
  seedThreads(db, messages);
  for (std::size_t k = 0; k < messages.size(); ++k) {
    addMessage(db, messages[k]);
    if (k % 500 == 499) db.exec("COMMIT; BEGIN");
  }
  db.exec("COMMIT");
}

fs::path phoneFolder(const fs::path& out, const char* name) {
  const fs::path folder = out / name;
  fs::create_directories(folder / "work");
  return folder;
}

void finish(const fs::path& folder, const Truth& truth) {
  writeTruth(folder, truth);
  fs::remove_all(folder / "work");
}

// Android 9: both providers in WAL, secure delete on. The copies are pulled
// while the providers hold the databases open, before any checkpoint.
void openWalPhone(const fs::path& out) {
  const fs::path folder = phoneFolder(out, "android9-open-wal");
  const Settings settings{true, true, Journal::kWal};
  const auto contacts = makeContacts(40);
  const auto messages = makeMessages(contacts, 240, 12, 20, 160, 11);
  Truth truth;
  makeContactsDb(folder / "work/contacts2.db", settings, contacts);
  makeSmsDb(folder / "work/mmssms.db", settings, messages);
  {
    Db db(folder / "work/contacts2.db");
    connectionSettings(db, settings);
    db.exec("BEGIN");
    for (const int k : {4, 11, 17, 23, 30, 38}) deleteContact(db, contacts[static_cast<std::size_t>(k)], truth);
    db.exec("COMMIT");
    copyWithSideFiles(folder / "work/contacts2.db", folder / "contacts2.db");
  }
  {
    Db db(folder / "work/mmssms.db");
    connectionSettings(db, settings);
    db.exec("BEGIN");
    for (const Message& message : messages) {
      if (message.thread == 5) deleteMessage(db, message, truth);
    }
    db.exec("COMMIT; BEGIN");
    for (std::size_t k = 3; k < messages.size(); k += 17) {
      if (messages[k].thread != 5) deleteMessage(db, messages[k], truth);
    }
    db.exec("COMMIT");
    copyWithSideFiles(folder / "work/mmssms.db", folder / "mmssms.db");
  }
  finish(folder, truth);
}

// The same phone after a checkpoint: new messages came and some went, the
// log was checkpointed into the main file, and a new log generation wrote
// its first frames over the start of the old one.
void afterCheckpointPhone(const fs::path& out) {
  const fs::path folder = phoneFolder(out, "android9-after-checkpoint");
  const Settings settings{true, true, Journal::kWal};
  const auto contacts = makeContacts(40);
  auto messages = makeMessages(contacts, 300, 12, 20, 160, 12);
  const std::vector<Message> older(messages.begin(), messages.begin() + 240);
  Truth truth;
  makeContactsDb(folder / "work/contacts2.db", settings, contacts);
  makeSmsDb(folder / "work/mmssms.db", settings, older);
  {
    Db db(folder / "work/contacts2.db");
    connectionSettings(db, settings);
    deleteContact(db, contacts[6], truth);
    db.exec("PRAGMA wal_checkpoint(PASSIVE)");
    deleteContact(db, contacts[21], truth);
    copyWithSideFiles(folder / "work/contacts2.db", folder / "contacts2.db");
  }
  {
    Db db(folder / "work/mmssms.db");
    connectionSettings(db, settings);
    // New messages arrive one by one, some are deleted one by one.
    for (std::size_t k = 240; k < messages.size(); ++k) addMessage(db, messages[k]);
    for (std::size_t k = 241; k < messages.size(); k += 6) deleteMessage(db, messages[k], truth);
    for (std::size_t k = 10; k < 240; k += 40) deleteMessage(db, messages[k], truth);
    db.exec("PRAGMA wal_checkpoint(PASSIVE)");
    // The next writer restarts the log from its start.
    deleteMessage(db, messages[100], truth);
    deleteMessage(db, messages[200], truth);
    copyWithSideFiles(folder / "work/mmssms.db", folder / "mmssms.db");
  }
  finish(folder, truth);
}

// PERSIST journals with secure delete on: a large deletion first, then
// small ones; the journal keeps the last transaction's pages and, behind
// them, what is left of the large one's.
void persistJournalPhone(const fs::path& out) {
  const fs::path folder = phoneFolder(out, "persist-journal");
  const Settings settings{true, true, Journal::kPersist};
  const auto contacts = makeContacts(30);
  const auto messages = makeMessages(contacts, 260, 10, 30, 200, 13);
  Truth truth;
  makeContactsDb(folder / "work/contacts2.db", settings, contacts);
  makeSmsDb(folder / "work/mmssms.db", settings, messages);
  {
    Db db(folder / "work/contacts2.db");
    connectionSettings(db, settings);
    db.exec("BEGIN");
    for (const int k : {2, 9, 14}) deleteContact(db, contacts[static_cast<std::size_t>(k)], truth);
    db.exec("COMMIT");
    deleteContact(db, contacts[25], truth);
  }
  {
    Db db(folder / "work/mmssms.db");
    connectionSettings(db, settings);
    db.exec("BEGIN");
    for (const Message& message : messages) {
      if (message.thread == 3 || message.thread == 8) deleteMessage(db, message, truth);
    }
    db.exec("COMMIT");
    for (const std::size_t k : {20, 95, 170}) {
      if (messages[k].thread != 3 && messages[k].thread != 8) deleteMessage(db, messages[k], truth);
    }
  }
  copyWithSideFiles(folder / "work/contacts2.db", folder / "contacts2.db");
  copyWithSideFiles(folder / "work/mmssms.db", folder / "mmssms.db");
  finish(folder, truth);
}

// Contacts of a Google account marked deleted, waiting for the account to
// sync; two of the phone's own contacts deleted for good (secure delete on).
void syncedAccountPhone(const fs::path& out) {
  const fs::path folder = phoneFolder(out, "synced-account");
  const Settings settings{true, true, Journal::kWal};
  const auto contacts = makeContacts(36);
  const auto messages = makeMessages(contacts, 120, 12, 20, 120, 14);
  Truth truth;
  makeContactsDb(folder / "work/contacts2.db", settings, contacts);
  makeSmsDb(folder / "work/mmssms.db", settings, messages);
  {
    Db db(folder / "work/contacts2.db");
    connectionSettings(db, settings);
    for (const int k : {2, 11, 26}) markContactDeleted(db, contacts[static_cast<std::size_t>(k)], truth);  // account 2
    for (const int k : {4, 19}) deleteContact(db, contacts[static_cast<std::size_t>(k)], truth);
  }
  copyWithSideFiles(folder / "work/contacts2.db", folder / "contacts2.db");
  copyWithSideFiles(folder / "work/mmssms.db", folder / "mmssms.db");
  finish(folder, truth);
}

// Android 7: secure delete off, TRUNCATE journal; a large message table
// (rowids past 16,383 take 3 bytes, bodies past 127 bytes a 2-byte length)
// with one message in ten deleted here and there.
void largeSmsPhone(const fs::path& out, int count) {
  const fs::path folder = phoneFolder(out, "large-sms");
  const Settings settings{false, true, Journal::kTruncate};
  const auto contacts = makeContacts(60);
  const auto messages = makeMessages(contacts, count, 60, 200, 450, 15);
  Truth truth;
  makeContactsDb(folder / "work/contacts2.db", settings, contacts);
  makeSmsDb(folder / "work/mmssms.db", settings, messages);
  {
    Db db(folder / "work/mmssms.db");
    connectionSettings(db, settings);
    Random random(99);
    db.exec("BEGIN");
    for (std::size_t k = 0; k < messages.size(); ++k) {
      if (random.below(10) != 0) continue;
      deleteMessage(db, messages[k], truth);
      if (truth.size() % 200 == 0) db.exec("COMMIT; BEGIN");
    }
    db.exec("COMMIT");
  }
  copyWithSideFiles(folder / "work/contacts2.db", folder / "contacts2.db");
  copyWithSideFiles(folder / "work/mmssms.db", folder / "mmssms.db");
  finish(folder, truth);
}

// No auto-vacuum, secure delete off: the oldest messages deleted in
// batches, so that whole leaf pages empty and go to the freelist; a few new
// messages then take some of those pages back.
void emptiedTablePhone(const fs::path& out) {
  const fs::path folder = phoneFolder(out, "emptied-table");
  const Settings settings{false, false, Journal::kDelete};
  const auto contacts = makeContacts(30);
  auto messages = makeMessages(contacts, 2030, 10, 40, 200, 16);
  const std::vector<Message> first(messages.begin(), messages.begin() + 2000);
  Truth truth;
  makeContactsDb(folder / "work/contacts2.db", settings, contacts);
  makeSmsDb(folder / "work/mmssms.db", settings, first);
  {
    Db db(folder / "work/mmssms.db");
    connectionSettings(db, settings);
    for (std::size_t batch = 0; batch < 1000; batch += 40) {
      db.exec("BEGIN");
      for (std::size_t k = batch; k < batch + 40; ++k) deleteMessage(db, messages[k], truth);
      db.exec("COMMIT");
    }
    for (std::size_t k = 2000; k < messages.size(); ++k) addMessage(db, messages[k]);
  }
  copyWithSideFiles(folder / "work/contacts2.db", folder / "contacts2.db");
  copyWithSideFiles(folder / "work/mmssms.db", folder / "mmssms.db");
  finish(folder, truth);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make-android-phones OUTPUT_DIR [--large-messages N] [--only PHONE]\n");
    return 2;
  }
  int largeMessages = 24000;
  std::string only;
  for (int k = 2; k + 1 < argc; k += 2) {
    const std::string option = argv[k];
    if (option == "--large-messages") {
      largeMessages = std::atoi(argv[k + 1]);
    } else if (option == "--only") {
      only = argv[k + 1];
    } else {
      die("unknown option " + option);
    }
  }
  const fs::path out = argv[1];
  fs::create_directories(out);
  const std::pair<const char*, std::function<void()>> phones[] = {
      {"android9-open-wal", [&] { openWalPhone(out); }},
      {"android9-after-checkpoint", [&] { afterCheckpointPhone(out); }},
      {"persist-journal", [&] { persistJournalPhone(out); }},
      {"synced-account", [&] { syncedAccountPhone(out); }},
      {"large-sms", [&] { largeSmsPhone(out, largeMessages); }},
      {"emptied-table", [&] { emptiedTablePhone(out); }},
  };
  bool made = false;
  for (const auto& [name, make] : phones) {
    if (!only.empty() && only != name) continue;
    make();
    made = true;
  }
  if (!made) die("no phone is called " + only);
  return 0;
}
