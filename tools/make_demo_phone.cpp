// make-demo-phone OUTPUT_DIR
//
// Writes the demo phone: OUTPUT_DIR/contacts2.db and OUTPUT_DIR/mmssms.db, laid
// out the way an Android 7-10 phone keeps them (ContactsProvider and
// TelephonyProvider tables, indexes and the triggers that fire on delete).
// After filling them it deletes some contacts and messages the way the phone
// does, with secure_delete off, so the deleted rows stay behind in freeblocks
// and in the unassigned area of their b-tree pages for the carver to find.
//
// The output is deterministic: fixed timestamps, a fixed-seed generator and a
// fixed order of operations, so two runs give byte-identical files.

#include <sqlite3.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "tools/DeterministicRandom.h"
#include "tools/ProviderSchemas.h"

namespace {

using phone_schema::kContactsSchema;
using phone_schema::kMessagesSchema;
using phone_schema::kMimetypes;

using Millis = std::int64_t;
using RowId = sqlite3_int64;

[[noreturn]] void die(const std::string& message) {
  std::cerr << "make-demo-phone: " << message << "\n";
  std::exit(EXIT_FAILURE);
}

// ---------------------------------------------------------------------------
// Thin SQLite wrapper: every failure ends the program with the SQLite message.

class Value {
 public:
  Value(std::nullptr_t) {}
  template <typename T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
  Value(T number) : kind_(Kind::Integer), integer_(static_cast<sqlite3_int64>(number)) {}
  Value(const char* text) {
    if (text != nullptr) {
      kind_ = Kind::Text;
      text_ = text;
    }
  }
  Value(std::string text) : kind_(Kind::Text), text_(std::move(text)) {}

  int bindTo(sqlite3_stmt* stmt, int index) const {
    switch (kind_) {
      case Kind::Integer: return sqlite3_bind_int64(stmt, index, integer_);
      case Kind::Text: return sqlite3_bind_text(stmt, index, text_.c_str(), static_cast<int>(text_.size()), SQLITE_TRANSIENT);
      case Kind::Null: break;
    }
    return sqlite3_bind_null(stmt, index);
  }

 private:
  enum class Kind { Null, Integer, Text };
  Kind kind_ = Kind::Null;
  sqlite3_int64 integer_ = 0;
  std::string text_;
};

class Database {
 public:
  explicit Database(std::string path) : path_(std::move(path)) {
    if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
      fail("cannot create the database");
    }
  }
  ~Database() { sqlite3_close_v2(db_); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  void exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      const std::string message = error != nullptr ? error : sqlite3_errmsg(db_);
      sqlite3_free(error);
      die(path_ + ": " + message + "\n  in: " + sql.substr(0, 160));
    }
  }

  void close() {
    if (sqlite3_close(db_) != SQLITE_OK) fail("cannot close the database");
    db_ = nullptr;
  }

  [[noreturn]] void fail(const std::string& what) const {
    die(path_ + ": " + what + ": " + (db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory"));
  }

  sqlite3* handle() const { return db_; }
  RowId lastInsertId() const { return sqlite3_last_insert_rowid(db_); }

 private:
  std::string path_;
  sqlite3* db_ = nullptr;
};

class Statement {
 public:
  Statement(Database& db, const std::string& sql) : db_(db), sql_(sql) {
    if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
      db.fail("cannot prepare '" + sql.substr(0, 160) + "'");
    }
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& bind(const std::vector<Value>& params) {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    int index = 1;
    for (const Value& param : params) {
      if (param.bindTo(stmt_, index++) != SQLITE_OK) db_.fail("cannot bind a parameter of '" + sql_.substr(0, 160) + "'");
    }
    return *this;
  }

  // Steps once; true while there is a row to read.
  bool next() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    db_.fail("cannot run '" + sql_.substr(0, 160) + "'");
  }

  void run(const std::vector<Value>& params) {
    bind(params);
    while (next()) {
    }
  }

  RowId integer(int column) const { return sqlite3_column_int64(stmt_, column); }

 private:
  Database& db_;
  std::string sql_;
  sqlite3_stmt* stmt_ = nullptr;
};

RowId queryInteger(Database& db, const std::string& sql, const std::vector<Value>& params = {}) {
  Statement query(db, sql);
  query.bind(params);
  if (!query.next()) die("no row from '" + sql + "'");
  return query.integer(0);
}

// Removes an earlier demo database with its journal files and opens a fresh one.
std::unique_ptr<Database> createFresh(const std::string& path) {
  for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
    const std::string file = path + suffix;
    if (std::remove(file.c_str()) != 0) {
      if (FILE* leftover = std::fopen(file.c_str(), "rb")) {
        std::fclose(leftover);
        die("cannot remove " + file);
      }
    }
  }
  auto db = std::make_unique<Database>(path);
  // Debian builds SQLite with secure delete on; a phone's provider does not
  // zero deleted cells, and the demo depends on them surviving.
  db->exec("PRAGMA secure_delete=OFF");
  db->exec("PRAGMA page_size=4096");
  db->exec("PRAGMA auto_vacuum=NONE");
  db->exec("PRAGMA journal_mode=DELETE");
  db->exec("PRAGMA recursive_triggers=OFF");
  db->exec("PRAGMA foreign_keys=OFF");
  return db;
}

// ---------------------------------------------------------------------------
// Small deterministic helpers.

using phone_tools::Rng;

std::uint64_t fnv1a(const std::string& text) {
  std::uint64_t hash = 0xCBF29CE484222325ULL;
  for (const unsigned char c : text) {
    hash ^= c;
    hash *= 0x100000001B3ULL;
  }
  return hash;
}

std::string toHex(const std::string& bytes) {
  static const char* const kDigits = "0123456789ABCDEF";
  std::string hex;
  for (const unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 0xF];
  }
  return hex;
}

std::string base64(const std::string& bytes) {
  static const char* const kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                       static_cast<unsigned char>(bytes[i + 2]);
    for (int shift = 18; shift >= 0; shift -= 6) out += kAlphabet[(v >> shift) & 0x3F];
  }
  if (i < bytes.size()) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kAlphabet[(v >> 18) & 0x3F];
    out += kAlphabet[(v >> 12) & 0x3F];
    out += i + 1 < bytes.size() ? kAlphabet[(v >> 6) & 0x3F] : '=';
    out += '=';
  }
  return out;
}

// A 20-byte digest of the text, Base64 encoded like the provider's hash_id.
std::string digest20(const std::string& text) {
  Rng mixer(fnv1a(text));
  std::string bytes;
  while (bytes.size() < 20) bytes += static_cast<char>(mixer.next() & 0xFF);
  return base64(bytes);
}

// Digits (and a leading '+') of a dialled number, as PhoneNumberUtils.normalizeNumber keeps them.
std::string normalizeNumber(const std::string& number) {
  std::string out;
  for (const char c : number) {
    if (c >= '0' && c <= '9') out += c;
    else if (c == '+' && out.empty()) out += c;
  }
  return out;
}

// E.164 form for numbers the phone (region US) can place: international ones and
// ten-digit NANP numbers. Local seven-digit numbers and foreign national
// formats get none, as on the phone.
std::string toE164(const std::string& number) {
  const std::string digits = normalizeNumber(number);
  if (!digits.empty() && digits[0] == '+') return digits.size() >= 9 ? digits : "";
  if (digits.size() == 10 && digits[0] >= '2') return "+1" + digits;
  return "";
}

// Last seven digits reversed: PhoneNumberUtils.toCallerIDMinMatch.
std::string minMatch(const std::string& normalized) {
  std::string digits;
  for (const char c : normalized) {
    if (c >= '0' && c <= '9') digits += c;
  }
  if (digits.size() > 7) digits = digits.substr(digits.size() - 7);
  return std::string(digits.rbegin(), digits.rend());
}

// Stand-in for the provider's collation-key name normalisation: case-folded
// ASCII, separators dropped, hex encoded.
std::string nameKey(const std::string& name) {
  std::string folded;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 'A' && byte <= 'Z') folded += static_cast<char>(byte - 'A' + 'a');
    else if (byte >= 0x80 || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9')) folded += c;
  }
  return toHex(folded);
}

// Address-book index letter of a name and its bucket number.
std::pair<std::string, int> phonebookLabel(const std::string& name) {
  static const char* const kLatin1 = "AAAAAAACEEEEIIIIDNOOOOO#OUUUUY##AAAAAAACEEEEIIIIDNOOOOO#OUUUUY#Y";
  if (name.empty()) return {"#", 27};
  const auto first = static_cast<unsigned char>(name[0]);
  char letter = '#';
  if (first >= 'a' && first <= 'z') letter = static_cast<char>(first - 'a' + 'A');
  else if (first >= 'A' && first <= 'Z') letter = static_cast<char>(first);
  else if (first == 0xC3 && name.size() > 1) letter = kLatin1[static_cast<unsigned char>(name[1]) & 0x3F];
  else if ((first == 0xD0 || first == 0xD1) && name.size() > 1) {
    const int cyrillic = ((first & 0x1F) << 6) | (static_cast<unsigned char>(name[1]) & 0x3F);
    return {name.substr(0, 2), 28 + (cyrillic - 0x410) % 32};
  }
  if (letter == '#') return {"#", 27};
  return {std::string(1, letter), letter - 'A' + 1};
}

// ---------------------------------------------------------------------------
// Leaf pages of a rowid table, for steering and checking where deleted rows go.

struct Leaf {
  RowId page;
  RowId first, last;  // rowid range held; 0 when the page has no cells
};

RowId rowAt(Statement& nth, RowId offset) {
  nth.bind({offset});
  if (!nth.next()) die("table has fewer rows than dbstat counts");
  return nth.integer(0);
}

// The table's leaf pages in b-tree order with the rowids each holds.
std::vector<Leaf> leafLayout(Database& db, const std::string& table) {
  Statement leaves(db, "SELECT pageno, ncell FROM dbstat WHERE name = ? AND pagetype = 'leaf' ORDER BY path");
  Statement nth(db, "SELECT _id FROM " + table + " ORDER BY _id LIMIT 1 OFFSET ?");
  leaves.bind({table});
  std::vector<Leaf> layout;
  RowId preceding = 0;
  while (leaves.next()) {
    const RowId cells = leaves.integer(1);
    Leaf leaf{leaves.integer(0), 0, 0};
    if (cells > 0) {
      leaf.first = rowAt(nth, preceding);
      leaf.last = rowAt(nth, preceding + cells - 1);
    }
    preceding += cells;
    layout.push_back(leaf);
  }
  return layout;
}

// Deleting must leave every leaf page in place holding a subset of its rows.
// Had a page become underfull, SQLite would have rebalanced the tree, moving
// cells about and spoiling the free-space layout the demo exists for.
void requireSameLeaves(const std::vector<Leaf>& before, const std::vector<Leaf>& after, const std::string& table) {
  bool same = before.size() == after.size();
  for (std::size_t i = 0; same && i < after.size(); ++i) {
    same = after[i].page == before[i].page &&
           (after[i].first == 0 || (after[i].first >= before[i].first && after[i].last <= before[i].last));
  }
  if (!same) die("deleting rows rebalanced the " + table + " b-tree; change which rows the demo deletes");
}

// ---------------------------------------------------------------------------
// contacts2.db (ContactsProvider2, Android 7-10; tables in ProviderSchemas.h).

enum Mimetype : int {
  kMimeEmail = 1, kMimeNickname = 3, kMimeOrganization = 4, kMimePhone = 5, kMimeName = 7, kMimePostal = 8,
  kMimeGroupMembership = 11, kMimeNote = 12, kMimeEvent = 13, kMimeWebsite = 14,
};

enum PhoneType : int { kPhoneHome = 1, kPhoneMobile = 2, kPhoneWork = 3, kPhoneOther = 7 };
enum EmailType : int { kEmailHome = 1, kEmailWork = 2, kEmailOther = 3, kEmailMobile = 4 };
enum NameStyle : int { kStyleWestern = 1, kStyleChinese = 3, kStyleJapanese = 4 };
enum Group : int { kGroupMyContacts = 1, kGroupStarred = 2, kGroupFriends = 3, kGroupFamily = 4, kGroupCoworkers = 5 };

constexpr RowId kLocalAccount = 1;
constexpr RowId kGoogleAccount = 2;
constexpr const char* kGoogleAccountName = "alex.demo@example.com";

constexpr Millis kContactsCreatedMs = 1535965200000;   // 2018-09-03 09:00 UTC
constexpr Millis kHourMs = 3600 * 1000;
constexpr Millis kDayMs = 24 * kHourMs;
constexpr Millis kLateContactMs = 1561054320000;       // 2019-06-20 18:12 UTC, the last contact saved
constexpr Millis kContactCleanupMs = 1561842300000;    // 2019-06-29 21:05 UTC

void seedContactsReferenceRows(Database& db) {
  db.exec("INSERT INTO android_metadata VALUES ('en_US')");
  db.exec("INSERT INTO accounts (account_name, account_type, data_set) VALUES (NULL, NULL, NULL)");
  Statement account(db, "INSERT INTO accounts (account_name, account_type, data_set) VALUES (?, 'com.google', NULL)");
  account.run({kGoogleAccountName});
  Statement mimetype(db, "INSERT INTO mimetypes (mimetype) VALUES (?)");
  for (const char* name : kMimetypes) mimetype.run({name});

  Statement group(db,
                  "INSERT INTO groups (account_id, sourceid, version, title, system_id, group_visible, should_sync, "
                  "auto_add, favorites, group_is_read_only, sync1) VALUES (?, ?, ?, ?, ?, ?, 1, ?, ?, ?, ?)");
  group.run({kGoogleAccount, "6", 3, "System Group: My Contacts", "Contacts", 1, 1, 0, 1, "\"QXo7fTVSLyp7I2A9Wx5WE0kPRAU.\""});
  group.run({kGoogleAccount, "3b9d1e2c0a4f8e71", 2, "Starred in Android", nullptr, 1, 0, 1, 0, "\"R3s8eDVSLit7I2A9Wx5WE0kPRAU.\""});
  group.run({kGoogleAccount, "d", 2, "System Group: Friends", "Friends", 1, 0, 0, 1, "\"QXo7fTVSLyp7I2A9Wx5WE0kPRAU.\""});
  group.run({kGoogleAccount, "e", 2, "System Group: Family", "Family", 1, 0, 0, 1, "\"QXo7fTVSLyp7I2A9Wx5WE0kPRAU.\""});
  group.run({kGoogleAccount, "f", 2, "System Group: Coworkers", "Coworkers", 1, 0, 0, 1, "\"QXo7fTVSLyp7I2A9Wx5WE0kPRAU.\""});

  db.exec(
      "INSERT INTO directories (_id, packageName, authority, typeResourceId, exportSupport, shortcutSupport, "
      "photoSupport) VALUES (0, 'com.android.providers.contacts', 'com.android.contacts', 2131689558, 0, 2, 3), "
      "(1, 'com.android.providers.contacts', 'com.android.contacts', 2131689558, 0, 2, 3)");
  Statement setting(db, "INSERT INTO settings (account_name, account_type, data_set, ungrouped_visible, should_sync) VALUES (?, 'com.google', NULL, 0, 1)");
  setting.run({kGoogleAccountName});

  Statement property(db, "INSERT INTO properties (property_key, property_value) VALUES (?, ?)");
  property.run({"database_time_created", std::to_string(kContactsCreatedMs - 40 * kDayMs)});
  property.run({"icu_version", "63.2"});
  property.run({"locale", "en-US"});
  property.run({"aggregation_v2", "5"});
  property.run({"search_index", "1"});
  property.run({"directoryScanComplete", "1"});
  property.run({"known_accounts", std::string(kGoogleAccountName) + "\u0001com.google\u0001"});
}

// ---------------------------------------------------------------------------
// The address book.

struct Phone {
  std::string number;
  int type;
};

struct Email {
  std::string address;
  int type;
};

struct Postal {
  std::string street, city, region, postcode, country;
};

struct Person {
  Person(std::string givenName, std::string familyName, int nameStyle = kStyleWestern)
      : given(std::move(givenName)), family(std::move(familyName)), style(nameStyle) {}

  Person& local() { inGoogle = false; return *this; }
  Person& starred() { isStarred = true; return *this; }
  Person& deleted() { isDeleted = true; return *this; }
  Person& addedLate() { isLate = true; return *this; }
  Person& group(Group id) { groups.push_back(id); return *this; }
  Person& phone(std::string number, int type) { phones.push_back({std::move(number), type}); return *this; }
  Person& email(std::string address, int type) { emails.push_back({std::move(address), type}); return *this; }
  Person& org(std::string name, std::string title, std::string department = "") {
    company = std::move(name); jobTitle = std::move(title); dept = std::move(department); return *this;
  }
  Person& nickname(std::string name) { nick = std::move(name); return *this; }
  Person& note(std::string text) { noteText = std::move(text); return *this; }
  Person& birthday(std::string date) { birth = std::move(date); return *this; }
  Person& website(std::string url) { site = std::move(url); return *this; }
  Person& ringtone(std::string uri) { tone = std::move(uri); return *this; }
  Person& address(Postal postal) { home = std::move(postal); hasHome = true; return *this; }

  bool cjk() const { return style != kStyleWestern; }
  std::string displayName() const { return cjk() ? family + given : given + " " + family; }
  std::string displayNameAlt() const { return cjk() ? family + given : family + ", " + given; }

  std::string given, family;
  int style;
  bool inGoogle = true, isStarred = false, isDeleted = false, isLate = false, hasHome = false;
  std::vector<int> groups;
  std::vector<Phone> phones;
  std::vector<Email> emails;
  std::string company, jobTitle, dept, nick, noteText, birth, site, tone;
  Postal home;
};

std::vector<Person> demoPeople() {
  std::vector<Person> people;
  const auto add = [&people](const Person& person) { people.push_back(person); };
  add(Person("Maya", "Chen").starred().group(kGroupFriends).nickname("May").birthday("--08-23")
          .phone("+1 415-555-0132", kPhoneMobile).email("maya.chen@example.com", kEmailHome));
  add(Person("Linda", "Morgan").starred().group(kGroupFamily).nickname("Mom")
          .ringtone("content://media/internal/audio/media/37").birthday("1961-05-19")
          .phone("(212) 555-0147", kPhoneMobile).phone("+1 212-555-0190", kPhoneHome)
          .email("linda.morgan@example.net", kEmailHome)
          .address({"42 Orchard Lane", "Montclair", "NJ", "07042", "United States"}));
  add(Person("José", "Álvarez").group(kGroupFriends).phone("+1 305-555-0114", kPhoneMobile)
          .email("jose.alvarez@example.org", kEmailHome).org("Álvarez & Hijos Construcción", "Project Manager"));
  add(Person("Daniel", "Okafor").birthday("1985-02-14").phone("+1-415-555-0107", kPhoneMobile).phone("(415) 555-0100", kPhoneWork)
          .email("daniel.okafor@example.com", kEmailHome).org("Bayline Transit", "Operations Lead", "Dispatch"));
  add(Person("Kenji", "Watanabe").group(kGroupFriends).deleted().phone("+14155550182", kPhoneMobile)
          .email("kenji.w@example.jp", kEmailHome));
  add(Person("Zoë", "Müller").starred().group(kGroupFriends).phone("+44 20 7946 0958", kPhoneWork)
          .phone("+44 7700 900461", kPhoneMobile).email("zoe@mail.example.org", kEmailHome)
          .org("Kranich Design GmbH", "Art Director", "Studio").website("https://zoe-mueller.example.org/portfolio"));
  add(Person("小明", "王", kStyleChinese).local().phone("13800138000", kPhoneMobile)
          .email("xiaoming.wang@example.com", kEmailWork));
  add(Person("Hannah", "Schmidt").address({"88 Beacon St", "Boston", "MA", "02108", "United States"}).phone("(617) 555-0155", kPhoneHome).email("hannah.s@example.net", kEmailHome));
  add(Person("Vanessa", "Price").deleted().phone("+1 310-555-0129", kPhoneMobile).phone("+1 310-555-0193", kPhoneWork)
          .email("vanessa.price@example.com", kEmailHome).org("Sunset Talent Agency", "Talent Agent"));
  add(Person("Ольга", "Иванова").group(kGroupFriends).phone("+44 7700 900123", kPhoneMobile)
          .email("olga.ivanova@example.org", kEmailHome));
  add(Person("Priya", "Raman").birthday("1988-07-30").group(kGroupCoworkers).phone("+1 646-555-0178", kPhoneWork)
          .phone("+1 646-555-0121", kPhoneMobile).email("priya.raman@corp.example.com", kEmailWork)
          .org("Northwind Analytics", "Senior Data Engineer", "Platform"));
  add(Person("Marcus", "Johnson").email("marcus.johnson@example.com", kEmailHome).phone("+1 404-555-0184", kPhoneMobile).phone("+1 404-555-0139", kPhoneWork)
          .org("Peachtree Legal LLP", "Paralegal", "Litigation"));
  add(Person("Tom", "Becker").local().phone("5550199", kPhoneHome));
  add(Person("Jürgen", "Hoffmann").deleted().phone("+44 20 7946 0112", kPhoneWork)
          .email("juergen.hoffmann@example.org", kEmailWork).org("Hoffmann Präzisionstechnik", "Geschäftsführer"));
  add(Person("Amélie", "Laurent").birthday("1992-12-03").group(kGroupFriends).phone("+33 6 39 98 12 34", kPhoneMobile)
          .email("amelie.laurent@example.net", kEmailHome));
  add(Person("Sofia", "Rossi").nickname("Sof").group(kGroupFriends).phone("+1 718-555-0126", kPhoneMobile)
          .email("sofia.rossi@example.com", kEmailHome).email("sofia@studio.example.org", kEmailWork));
  add(Person("Sam", "Ortiz").birthday("1990-04-27").email("sam.ortiz@example.com", kEmailHome).group(kGroupFriends).phone("+1 512-555-0163", kPhoneMobile));
  add(Person("娜", "李", kStyleChinese).note("London office, 8 hours ahead").phone("+44 7700 900718", kPhoneMobile).email("li.na@example.org", kEmailHome));
  add(Person("Ryan", "Fletcher").deleted().group(kGroupFriends).phone("+1 718-555-0186", kPhoneMobile)
          .note("Climbing partner, Mission Cliffs Tue/Thu"));
  add(Person("Ahmed", "Hassan").email("ahmed@clinic.example.org", kEmailWork).group(kGroupFriends).phone("+1 312-555-0171", kPhoneMobile)
          .email("ahmed.hassan@example.com", kEmailHome));
  add(Person("Emily", "Carter").birthday("1993-09-09").phone("555-0103", kPhoneHome).phone("+1 503-555-0148", kPhoneMobile)
          .email("emily.carter@example.org", kEmailHome));
  add(Person("Lucas", "Oliveira").phone("+1 786-555-0111", kPhoneWork).phone("+1 786-555-0192", kPhoneMobile).email("lucas.oliveira@example.com", kEmailOther));
  add(Person("Nadia", "Kowalski").deleted().phone("(212) 555-0137", kPhoneHome).email("nadia.k@example.net", kEmailHome)
          .org("Kowalski Bakery", "Owner"));
  add(Person("Grace", "Lee").phone("+1 206-555-0117", kPhoneMobile).phone("+1 206-555-0100", kPhoneWork)
          .org("Cascade Children's Hospital", "Pediatric Nurse", "NICU"));
  add(Person("Björn", "Lindqvist").note("Sauna club, Thursdays").phone("+1 651-555-0133", kPhoneMobile).email("bjorn.lindqvist@example.com", kEmailHome));
  add(Person("静", "陈", kStyleChinese).local().deleted().phone("+44 7700 900234", kPhoneMobile));
  add(Person("Fatima", "Zahra").phone("+33 1 99 00 45 67", kPhoneWork).email("fatima.zahra@example.net", kEmailWork)
          .org("Institut Lumière Santé", "Chercheuse", "Immunologie"));
  add(Person("Ryan", "O'Connor").group(kGroupFriends).phone("+1 617-555-0160", kPhoneMobile)
          .note("Met at Dave's wedding, works in biotech"));
  add(Person("Isabella", "García").email("isabella.garcia@example.com", kEmailHome).phone("(305) 555-0188", kPhoneMobile));
  add(Person("Trevor", "Banks").local().deleted().phone("+1 702-555-0158", kPhoneMobile)
          .note("Owes me $40 for the concert tickets"));
  add(Person("An", "Nguyễn").phone("+1 408-555-0145", kPhoneMobile).email("an.nguyen@example.com", kEmailHome));
  add(Person("Chloé", "Dubois").email("chloe.dubois@example.net", kEmailHome).phone("+33 6 39 98 45 01", kPhoneMobile));
  add(Person("Michael", "Brown").phone("+1 773-555-0119", kPhoneWork).email("m.brown@example.com", kEmailWork)
          .org("Lakeshore Realty", "Broker"));
  add(Person("Aisha", "Bello").phone("07700 900876", kPhoneMobile).email("aisha.bello@example.org", kEmailHome));
  add(Person("Sophie", "Martin").deleted().phone("+33 1 99 00 78 90", kPhoneHome)
          .email("sophie.martin@example.net", kEmailHome)
          .address({"12 rue des Lilas", "Paris", "", "75019", "France"}));
  add(Person("David", "Cohen").birthday("1979-03-21").phone("+1 917-555-0102", kPhoneMobile).email("dcohen@example.net", kEmailHome));
  add(Person("Katarzyna", "Nowak").nickname("Kasia").phone("(773) 555-0166", kPhoneMobile)
          .email("kasia.nowak@example.com", kEmailMobile));
  add(Person("Oliver", "Smith").email("oliver.smith@example.co.uk", kEmailHome).phone("+44 20 7946 0321", kPhoneHome).phone("+44 7700 900555", kPhoneMobile));
  add(Person("Brandon", "Lewis").local().deleted().phone("5550142", kPhoneMobile));
  add(Person("健", "佐藤", kStyleJapanese).nickname("ケン").phone("+1 808-555-0135", kPhoneMobile).email("ken.sato@example.com", kEmailWork)
          .org("株式会社サクラ電機", "営業部長", "海外営業部"));
  add(Person("Elena", "Petrova").website("https://elena-petrova.example.com").phone("415.555.0174", kPhoneMobile).email("elena.petrova@example.org", kEmailHome));
  add(Person("Noah", "Williams").email("noah@bikes.example.com", kEmailWork).phone("+1 512-555-0128", kPhoneMobile).org("Hill Country Bikes", "Mechanic"));
  add(Person("Jessica", "Taylor").birthday("1991-01-17").phone("(415) 555-0151", kPhoneMobile).email("jtaylor@example.com", kEmailHome));
  add(Person("Mateo", "Fernández").addedLate().phone("+1 213-555-0177", kPhoneMobile).email("mateo.fernandez@example.com", kEmailHome));
  add(Person("Charlotte", "Davies").addedLate().phone("+44 20 7946 0744", kPhoneWork).email("c.davies@example.co.uk", kEmailWork)
          .org("Davies & Price Architects", "Partner"));
  add(Person("Raj", "Patel").org("Patel Family Pharmacy", "Pharmacist").addedLate().phone("+1 732-555-0108", kPhoneMobile).phone("+1 732-555-0150", kPhoneHome)
          .email("raj.patel@example.org", kEmailHome));
  add(Person("Leah", "Goldberg").email("leah.goldberg@example.org", kEmailHome).addedLate().phone("(201) 555-0194", kPhoneMobile));
  add(Person("Mia", "Johansson").note("Sydney, 17-19 hours ahead").addedLate().phone("+61 491 570 156", kPhoneMobile).email("mia.j@example.com", kEmailHome));
  add(Person("Ethan", "Wright").addedLate().group(kGroupCoworkers).phone("+1 303-555-0113", kPhoneMobile)
          .phone("+1 303-555-0187", kPhoneWork).email("ethan.wright@corp.example.com", kEmailWork)
          .org("Northwind Analytics", "Product Manager", "Growth"));
  // Saved last, a duplicate the owner deleted again: her rows are the newest
  // on the rightmost data page, so they end up in its unassigned area.
  add(Person("Olivia", "Hart").addedLate().deleted().phone("+1 415-555-0170", kPhoneMobile)
          .email("olivia.hart@example.com", kEmailHome));
  return people;
}

// Details added to existing contacts after the address book was first filled.
struct Edit {
  std::string who;
  int mimetype;
  std::string value;
  int type;
};

std::vector<Edit> laterEdits() {
  return {
      {"Maya Chen", kMimeEmail, "maya@work.example.com", kEmailWork},
      {"Tom Becker", kMimePhone, "(415) 555-0138", kPhoneMobile},
      {"Vanessa Price", kMimeEmail, "vanessa@talent.example.com", kEmailWork},
      {"Priya Raman", kMimeNote, "Prefers Slack over email. Vegetarian.", 0},
      {"Jürgen Hoffmann", kMimePhone, "+44 7700 900999", kPhoneMobile},
      {"Grace Lee", kMimeEvent, "1990-11-02", 3},
  };
}

// data1..data15 of one data row; missing columns stay NULL.
using DataColumns = std::map<int, std::string>;

class ContactWriter {
 public:
  explicit ContactWriter(Database& db)
      : db_(db),
        rawContact_(db, "INSERT INTO raw_contacts (account_id, sourceid, version, dirty, deleted, aggregation_needed, "
                        "custom_ringtone, times_contacted, last_time_contacted, starred, pinned, display_name, "
                        "display_name_alt, display_name_source, phonetic_name_style, sort_key, phonebook_label, "
                        "phonebook_bucket, sort_key_alt, phonebook_label_alt, phonebook_bucket_alt, sync1) "
                        "VALUES (?, ?, ?, 0, 0, 0, ?, ?, ?, ?, ?, ?, ?, 40, '0', ?, ?, ?, ?, ?, ?, ?)"),
        data_(db, "INSERT INTO data (mimetype_id, raw_contact_id, hash_id, is_primary, is_super_primary, data1, data2, "
                  "data3, data4, data5, data6, data7, data8, data9, data10, data11, data12, data13, data14, data15) "
                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        contact_(db, "INSERT INTO contacts (name_raw_contact_id, custom_ringtone, times_contacted, last_time_contacted, "
                     "starred, pinned, has_phone_number, lookup, contact_last_updated_timestamp) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        link_(db, "UPDATE raw_contacts SET contact_id = ? WHERE _id = ?"),
        phoneLookup_(db, "INSERT INTO phone_lookup (data_id, raw_contact_id, normalized_number, min_match) VALUES (?, ?, ?, ?)"),
        nameLookup_(db, "INSERT OR IGNORE INTO name_lookup (data_id, raw_contact_id, normalized_name, name_type) VALUES (?, ?, ?, ?)"),
        visible_(db, "INSERT OR IGNORE INTO visible_contacts (_id) VALUES (?)"),
        defaultDirectory_(db, "INSERT OR IGNORE INTO default_directory (_id) VALUES (?)"),
        rng_(0x5EED0C0A7AC7ULL) {}

  // Saves a person the way the provider does: raw contact, data rows, then the
  // aggregated contact linked back to it. Returns the raw contact id.
  RowId add(const Person& person, Millis when) {
    const RowId rawId = insertRawContact(person, when);
    insertName(rawId, person);
    for (std::size_t i = 0; i < person.phones.size(); ++i) insertPhone(rawId, person.phones[i], i == 0 && person.phones.size() > 1);
    for (std::size_t i = 0; i < person.emails.size(); ++i) insertEmail(rawId, person.emails[i], i == 0 && person.emails.size() > 1);
    insertDetails(rawId, person);
    insertMemberships(rawId, person);
    insertContact(rawId, person, when);
    return rawId;
  }

  void apply(const Edit& edit, RowId rawId) {
    switch (edit.mimetype) {
      case kMimePhone: insertPhone(rawId, {edit.value, edit.type}, false); break;
      case kMimeEmail: insertEmail(rawId, {edit.value, edit.type}, false); break;
      default: insertData(rawId, edit.mimetype, edit.type != 0 ? DataColumns{{1, edit.value}, {2, std::to_string(edit.type)}} : DataColumns{{1, edit.value}});
    }
  }

 private:
  RowId insertRawContact(const Person& person, Millis when) {
    const auto label = phonebookLabel(person.displayName());
    const auto labelAlt = phonebookLabel(person.displayNameAlt());
    const int contacted = rng_.below(3) == 0 ? 0 : rng_.between(1, 40);
    const Value lastContacted = contacted != 0 ? Value(when + rng_.between(10, 280) * kDayMs) : Value(nullptr);
    const std::string sourceId = sourceIdFor(person);
    rawContact_.run({person.inGoogle ? kGoogleAccount : kLocalAccount, sourceId.empty() ? Value(nullptr) : Value(sourceId),
                     rng_.between(2, 7), person.tone.empty() ? Value(nullptr) : Value(person.tone), contacted, lastContacted,
                     person.isStarred ? 1 : 0, person.isStarred ? ++pinned_ : 0, person.displayName(),
                     person.displayNameAlt(), person.displayName(), label.first, label.second, person.displayNameAlt(),
                     labelAlt.first, labelAlt.second,
                     person.inGoogle ? Value("\"" + digest20(sourceId).substr(0, 26) + ".\"") : Value(nullptr)});
    return db_.lastInsertId();
  }

  // The server id Google sync gives a contact; local contacts have none.
  static std::string sourceIdFor(const Person& person) {
    return person.inGoogle ? toHex(digest20(person.displayName())).substr(0, 16) : "";
  }

  RowId insertData(RowId rawId, int mimetype, const DataColumns& columns, bool primary = false) {
    std::string hashSource = std::to_string(mimetype);
    std::vector<Value> params{mimetype, rawId, nullptr, primary ? 1 : 0, primary ? 1 : 0};
    for (int column = 1; column <= 15; ++column) {
      const auto found = columns.find(column);
      if (found == columns.end()) {
        params.emplace_back(nullptr);
      } else {
        params.emplace_back(found->second);
        hashSource += "|" + found->second;
      }
    }
    params[2] = digest20(hashSource);
    data_.run(params);
    return db_.lastInsertId();
  }

  void insertName(RowId rawId, const Person& person) {
    const RowId dataId = insertData(rawId, kMimeName,
                                    {{1, person.displayName()}, {2, person.given}, {3, person.family},
                                     {10, std::to_string(person.style)}, {11, "0"}});
    nameLookup_.run({dataId, rawId, nameKey(person.given + person.family), 0});
    nameLookup_.run({dataId, rawId, nameKey(person.family + person.given), 1});
    nameLookup_.run({dataId, rawId, nameKey(person.given), 2});
    nameLookup_.run({dataId, rawId, nameKey(person.family), 2});
  }

  void insertPhone(RowId rawId, const Phone& phone, bool primary) {
    const std::string e164 = toE164(phone.number);
    DataColumns columns{{1, phone.number}, {2, std::to_string(phone.type)}};
    if (!e164.empty()) columns[4] = e164;
    const RowId dataId = insertData(rawId, kMimePhone, columns, primary);
    const std::string normalized = normalizeNumber(phone.number);
    phoneLookup_.run({dataId, rawId, normalized, minMatch(normalized)});
    if (!e164.empty() && e164 != normalized) phoneLookup_.run({dataId, rawId, e164, minMatch(normalized)});
  }

  void insertEmail(RowId rawId, const Email& email, bool primary) {
    insertData(rawId, kMimeEmail, {{1, email.address}, {2, std::to_string(email.type)}}, primary);
  }

  void insertDetails(RowId rawId, const Person& person) {
    if (!person.company.empty()) {
      DataColumns columns{{1, person.company}, {2, "1"}, {4, person.jobTitle}};
      if (!person.dept.empty()) columns[5] = person.dept;
      insertData(rawId, kMimeOrganization, columns);
    }
    if (!person.nick.empty()) {
      const RowId dataId = insertData(rawId, kMimeNickname, {{1, person.nick}, {2, "1"}});
      nameLookup_.run({dataId, rawId, nameKey(person.nick), 3});
    }
    if (person.hasHome) insertData(rawId, kMimePostal, postalColumns(person.home));
    if (!person.birth.empty()) insertData(rawId, kMimeEvent, {{1, person.birth}, {2, "3"}});
    if (!person.site.empty()) insertData(rawId, kMimeWebsite, {{1, person.site}, {2, "1"}});
    if (!person.noteText.empty()) insertData(rawId, kMimeNote, {{1, person.noteText}});
  }

  static DataColumns postalColumns(const Postal& postal) {
    std::string cityLine = postal.region.empty() ? postal.postcode + " " + postal.city
                                                 : postal.city + ", " + postal.region + " " + postal.postcode;
    DataColumns columns{{1, postal.street + "\n" + cityLine + "\n" + postal.country}, {2, "1"}, {4, postal.street},
                        {7, postal.city}, {9, postal.postcode}, {10, postal.country}};
    if (!postal.region.empty()) columns[8] = postal.region;
    return columns;
  }

  void insertMemberships(RowId rawId, const Person& person) {
    if (!person.inGoogle) return;
    insertData(rawId, kMimeGroupMembership, {{1, std::to_string(kGroupMyContacts)}});
    if (person.isStarred) insertData(rawId, kMimeGroupMembership, {{1, std::to_string(kGroupStarred)}});
    for (const int group : person.groups) insertData(rawId, kMimeGroupMembership, {{1, std::to_string(group)}});
  }

  void insertContact(RowId rawId, const Person& person, Millis when) {
    const std::string lookup = person.inGoogle ? "2059i" + sourceIdFor(person)
                                               : "0r" + std::to_string(rawId) + "-" + nameKey(person.displayName());
    const RowId contacted = queryInteger(db_, "SELECT times_contacted FROM raw_contacts WHERE _id = ?", {rawId});
    const RowId lastContacted = queryInteger(db_, "SELECT IFNULL(last_time_contacted, 0) FROM raw_contacts WHERE _id = ?", {rawId});
    contact_.run({rawId, person.tone.empty() ? Value(nullptr) : Value(person.tone), contacted,
                  lastContacted != 0 ? Value(lastContacted) : Value(nullptr), person.isStarred ? 1 : 0,
                  person.isStarred ? pinned_ : 0, person.phones.empty() ? 0 : 1, lookup, when});
    const RowId contactId = db_.lastInsertId();
    link_.run({contactId, rawId});
    visible_.run({contactId});
    defaultDirectory_.run({contactId});
  }

  Database& db_;
  Statement rawContact_, data_, contact_, link_, phoneLookup_, nameLookup_, visible_, defaultDirectory_;
  Rng rng_;
  int pinned_ = 0;
};

struct AddressBook {
  std::vector<Person> people;
  std::map<std::string, RowId> rawIds;  // by display name
};

void fillAddressBook(Database& db, AddressBook& book) {
  ContactWriter writer(db);
  db.exec("BEGIN");
  Millis when = kContactsCreatedMs;
  for (const Person& person : book.people) {
    if (person.isLate) continue;
    book.rawIds[person.displayName()] = writer.add(person, when);
    when += 3 * kDayMs + 7 * kHourMs;
  }
  for (const Edit& edit : laterEdits()) writer.apply(edit, book.rawIds.at(edit.who));
  when = kLateContactMs - 40 * kDayMs;
  for (const Person& person : book.people) {
    if (!person.isLate) continue;
    book.rawIds[person.displayName()] = writer.add(person, when);
    when += 6 * kDayMs + 5 * kHourMs;
  }
  db.exec("COMMIT");
}

// Deletes a contact as the phone does. A Google contact is first flagged as
// deleted for the sync adapter, which removes the row once the server knows;
// a local one goes at once. The provider's triggers take the data rows, lookup
// rows and the aggregated contact with it.
void deleteContact(Database& db, const Person& person, RowId rawId, Millis when) {
  const RowId contactId = queryInteger(db, "SELECT contact_id FROM raw_contacts WHERE _id = ?", {rawId});
  if (person.inGoogle) {
    Statement flag(db, "UPDATE raw_contacts SET deleted = 1, dirty = 1 WHERE _id = ?");
    flag.run({rawId});
  }
  Statement remove(db, "DELETE FROM raw_contacts WHERE _id = ?");
  remove.run({rawId});
  Statement record(db, "INSERT OR REPLACE INTO deleted_contacts (contact_id, contact_deleted_timestamp) VALUES (?, ?)");
  record.run({contactId, when});
}

void deleteContacts(Database& db, const AddressBook& book) {
  db.exec("BEGIN");
  Millis when = kContactCleanupMs - 9 * kDayMs;
  for (const Person& person : book.people) {
    if (!person.isDeleted) continue;
    deleteContact(db, person, book.rawIds.at(person.displayName()), when);
    when += 19 * kHourMs + 23 * 60 * 1000;
  }
  db.exec("COMMIT");
}

void makeContactsDb(const std::string& path, AddressBook& book) {
  auto db = createFresh(path);
  db->exec("PRAGMA user_version=1300");
  db->exec(std::string("BEGIN;") + kContactsSchema + "COMMIT;");
  db->exec("BEGIN");
  seedContactsReferenceRows(*db);
  db->exec("COMMIT");
  fillAddressBook(*db, book);
  const auto dataBefore = leafLayout(*db, "data");
  const auto rawBefore = leafLayout(*db, "raw_contacts");
  deleteContacts(*db, book);
  requireSameLeaves(dataBefore, leafLayout(*db, "data"), "data");
  requireSameLeaves(rawBefore, leafLayout(*db, "raw_contacts"), "raw_contacts");
  db->close();
}

// ---------------------------------------------------------------------------
// mmssms.db (TelephonyProvider, Android 7-10; tables in ProviderSchemas.h).
// The provider stamps the thread with the wall clock when a message arrives;
// here the thread takes the message's own date so the file does not depend on
// when it was generated.


enum class Box : int { Inbox = 1, Sent = 2 };

// Languages (and one alert generator) the filler messages of a conversation are drawn from.
enum class Talk { English, Spanish, German, Chinese, Russian, French, Japanese, BankAlerts };

const std::vector<std::string>& phrases(Talk talk) {
  static const std::map<Talk, std::vector<std::string>> kPhrases{
      {Talk::English,
       {"ok", "Ok 👍", "Sounds good!", "On my way", "Running 10 min late, sorry!", "Can you call me when you get a sec?",
        "lol", "Haha yes", "Thanks!!", "Thank you so much ❤️", "See you soon", "Just landed ✈️", "Home now",
        "Did you see the game last night?", "What time works for you?", "How about 7?", "Perfect", "I'll bring snacks",
        "Traffic is insane today 😩", "Happy Friday!", "Good night 😴", "Morning! ☀️", "Yep", "Nope, not yet",
        "Let me check and get back to you", "Sure thing", "Call you later", "Can't talk, in a meeting",
        "Where are you?", "Parking now", "Got it, thanks", "No worries", "Miss you!", "That's hilarious 😂",
        "Send me the address?", "Don't forget your umbrella ☔", "Are we still on for tomorrow?", "Yes! Can't wait",
        "Just saw your email", "I'm outside", "Be there in 5", "Leaving now", "Did you eat yet?",
        "Grabbing coffee, want anything? ☕", "Oat latte please 🙏", "Bought the tickets 🎟️",
        "Weather looks great for Saturday", "Congrats!! So proud of you 🎉", "Feel better soon 🤒",
        "Text me when you're home safe", "Sorry, missed your call", "Can we push it to next week?",
        "Totally forgot, thanks for the reminder", "👍", "😂😂😂", "Love it ❤️", "Yes please", "Nah I'm good",
        "Long day. Talk tomorrow?", "Happy birthday!!! 🎂🎉"}},
      {Talk::Spanish,
       {"¿Dónde estás?", "Ya voy 🚗", "¡Qué bien!", "Vale, nos vemos a las ocho", "Gracias, hermano 🙏",
        "¿Qué tal el trabajo?", "Mañana te llamo", "Jajaja 😂", "Perfecto", "Buenas noches", "¿Vienes al asado el domingo?",
        "Claro que sí", "Estoy en camino, llego en diez minutos", "¡Feliz cumpleaños! 🎂", "Un abrazo fuerte",
        "No te preocupes", "¿Cómo sigue tu mamá?", "Qué calor hace hoy 🥵"}},
      {Talk::German,
       {"Alles klar 👍", "Bis später!", "Danke dir!", "Wie geht's?", "Gute Nacht 🌙", "Schönes Wochenende!",
        "Ich bin gleich da", "Kein Problem", "Tschüss!", "Bin schon unterwegs", "Freu mich drauf! 😊",
        "Grüße aus München", "Das klingt großartig", "Müde, aber glücklich"}},
      {Talk::Chinese,
       {"好的", "没问题👌", "你到了吗？", "我在路上了", "晚上一起吃饭吧", "谢谢你！", "哈哈哈😂", "明天见", "辛苦了",
        "周末有空吗？", "收到", "我马上到", "生日快乐🎂", "早点休息", "下班了吗？", "今天好冷啊"}},
      {Talk::Russian,
       {"Привет!", "Хорошо 👍", "Спасибо большое!", "Как дела?", "Я уже еду", "До завтра", "Спокойной ночи 🌙",
        "Отлично!", "Созвонимся вечером?", "Ладно, договорились", "С днём рождения! 🎉", "Скучаю", "Ты где?"}},
      {Talk::French,
       {"D'accord 👍", "Merci beaucoup !", "À tout à l'heure", "Bonne soirée", "J'arrive dans cinq minutes",
        "C'est génial !", "On se voit demain ?", "Bisous 😘", "Pas de souci", "Ça va ?", "Bon week-end !",
        "Je suis en retard, désolée 😅", "Trop hâte ! 🥳", "Tu as bien reçu mon mail ?"}},
      {Talk::Japanese,
       {"了解です👍", "ありがとう！", "今どこ？", "また明日", "お疲れさまです", "楽しみにしてるね😊", "すぐ行きます",
        "いいね！"}},
  };
  return kPhrases.at(talk);
}

std::string bankAlert(Rng& rng) {
  static const char* const kMerchants[] = {"Mission Street Market", "Golden Gate Grocers", "Lumen Books",
                                           "Pacific Fuel #221", "Fogline Cinema", "Harbor Hardware"};
  char text[200];
  if (rng.below(2) == 0) {
    std::snprintf(text, sizeof text,
                  "Harborview CU: Your verification code is %06d. It expires in 10 minutes. Never share this code.",
                  rng.below(1000000));
  } else {
    std::snprintf(text, sizeof text, "Harborview CU: A purchase of $%d.%02d at %s was approved on card ending 4417.",
                  rng.between(3, 180), rng.below(100), kMerchants[rng.below(6)]);
  }
  return text;
}

std::string filler(const std::vector<Talk>& talks, Rng& rng) {
  const Talk talk = talks[static_cast<std::size_t>(rng.below(static_cast<int>(talks.size())))];
  if (talk == Talk::BankAlerts) return bankAlert(rng);
  const auto& pool = phrases(talk);
  return pool[static_cast<std::size_t>(rng.below(static_cast<int>(pool.size())))];
}

// A scripted message.
struct Line {
  Box box;
  std::string body;
  bool erased = false;
  bool locked = false;
};

Line in(std::string body) { return {Box::Inbox, std::move(body)}; }
Line out(std::string body) { return {Box::Sent, std::move(body)}; }
Line gone(Line line) { line.erased = true; return line; }
Line kept(Line line) { line.locked = true; return line; }

struct Conversation {
  std::string address;
  std::vector<Talk> talks;
  int total;                               // messages in all, scripted ones included
  std::vector<std::vector<Line>> scenes;   // scripted exchanges, each sent in one sitting
  int firstDay = 0, lastDay = 171;         // days after kMessagesStartMs
  bool inboxOnly = false;                  // alerts the owner never answers in free text
  bool erasedWhole = false;                // the owner deleted the whole thread
};

constexpr Millis kMessagesStartMs = 1546819200000;  // 2019-01-07 00:00 UTC
constexpr const char* kServiceCenter = "+12065550100";

std::vector<Conversation> demoConversations() {
  std::vector<Conversation> all;
  all.push_back({"+14155550132", {Talk::English}, 46, {
      {in("Hey! Are you free for brunch Sunday? That new place on Valencia finally opened 🥞"), out("Yes!! 11ish?"),
       in("11 is perfect, I'll put our names down")},
      {in("Ok here's the plan for Tahoe 🏔️ Friday: I'll pick you up at 4:30, we stop at the Davis co-op for snacks and "
          "gas, should reach the cabin around 9 if traffic isn't awful. Saturday: snowshoe loop in the morning (rentals "
          "are reserved under my name, confirmation TX-4471), lunch at the lodge, hot tub, then Jenna's cooking her "
          "famous chili. Sunday: sleep in, pack up by 11, checkout is noon sharp or they charge us a full extra day. "
          "Bring warm socks, the good headlamp and your charger, the cabin only has like two outlets. Your share is "
          "$186, Venmo whenever 😊"),
       out("Amazing, you're the best planner"), out("Sent you the Venmo for Tahoe 💸"), in("Got it, thx! 🙌")},
      {gone(out("Please don't tell anyone yet but I'm interviewing at Lumen Labs next Thursday 🤫")),
       gone(in("OMG!!! Your secret is safe with me. You're going to crush it 💪"))},
      {out("Can I borrow your big suitcase for June?"), in("Of course, it's in the hall closet")},
  }});
  all.push_back({"+12125550147", {Talk::English}, 40, {
      {in("Did you get home ok? Text me when you do ❤️"), out("Home safe, thanks for dinner Mom!")},
      {kept(in("Here is Grandma's lemon cake recipe like you asked: 2 cups flour, 1 1/2 tsp baking powder, 1/2 tsp salt, "
               "1 cup sugar, 3 eggs, 1 cup plain yogurt, 1/2 cup oil, zest of 2 lemons. Mix the wet stuff first, then "
               "fold in the dry. Bake at 350 for 50 minutes in the loaf pan and check with a toothpick. The glaze is 1 "
               "cup powdered sugar and 3 tbsp lemon juice, pour it on while the cake is still warm so it soaks in. "
               "Don't skip the glaze, that's the whole point! Love you")),
       out("Thank you!! Making it this weekend")},
      {gone(in("Dad's biopsy results came back benign. We're so relieved. Please don't mention it to Aunt Carol, he "
               "wants to tell her himself.")),
       gone(out("That's such a relief 😭❤️ I won't say a word."))},
      {in("Can you call Grandpa this weekend? He'd love that"), out("Will do")},
      {in("The new garage code is 2580, don't give it out"), out("Got it")},
  }});
  all.push_back({"+13055550114", {Talk::Spanish, Talk::Spanish, Talk::English}, 28, {
      {in("¿Vienes mañana a la obra? Necesito que revises los planos del segundo piso."),
       out("Sí, llego a las 9. ¿Llevo el café? ☕"), in("¡Claro! Con leche y sin azúcar para mí.")},
      {gone(in("La contraseña del wifi de la oficina es Girasol#2019, no la compartas 😉")), out("Perfecto, gracias José")},
      {in("Mi mamá dice que vengas a cenar el sábado: paella, tortilla española y flan de postre. ¡Trae a quien quieras!"),
       out("¡Ahí estaré! Llevo el vino 🍷")},
      {gone(out("Oye, ¿me puedes prestar 300 dólares hasta el viernes? Es urgente 🙏")), in("Claro, te hago la transferencia hoy")},
  }});
  all.push_back({"+447700900461", {Talk::English, Talk::German}, 24, {
      {in("Grüße aus Berlin! 🇩🇪 The conference was amazing"), out("Sooo jealous. Bring me back some Lebkuchen!"),
       in("Schon gekauft 😄 Also, Kranich is hiring a senior illustrator. Should I pass your portfolio along?"),
       out("Yes please!! Danke, Zoë 🙏")},
      {gone(in("Ich habe gekündigt. Erzähl es bitte noch niemandem, ich sage es dem Team am Montag.")),
       gone(out("Wow, mutig! Ich drück dir die Daumen 🤞"))},
      {in("Mein Zug hat Verspätung, wir treffen uns um 19:30 im Café an der Müllerstraße"), out("Kein Stress, bis gleich")},
  }});
  all.push_back({"+8613800138000", {Talk::Chinese}, 20, {
      {in("你好！下周我去旧金山出差，有空一起吃个饭吗？"), out("当然！你几号到？"), in("十四号下午到，住在联合广场附近。")},
      {in("这次出差行程很紧：周一上午跟客户开会，下午去工厂参观，周二全天培训，周三早上还要做一个产品演示。晚上应该都有空，"
          "你推荐几家好吃的餐厅吧，最好是本地特色的，海鲜也可以。另外我想给女儿买一些礼物，她喜欢画画和恐龙，你知道哪里有好"
          "的书店或者博物馆商店吗？我们公司的同事也想一起来，大概三四个人，需要提前订位吗？谢谢啦！😊"),
       out("科学馆的商店有很多恐龙的东西！餐厅我列个单子发给你。")},
      {gone(out("我明天下午三点到机场接你，别告诉老板我请假了🤫")), in("太好了，谢谢！路上注意安全。")},
  }});
  all.push_back({"+447700900123", {Talk::Russian, Talk::English}, 18, {
      {in("Привет! Ты уже в Лондоне? 🇬🇧"), out("Да, прилетел вчера вечером. Погода ужасная ☔"),
       in("Как всегда 😄 Давай встретимся в субботу у Британского музея в два часа?"), out("Договорились!")},
      {in("Слушай, вот план на субботу: встречаемся в два у главного входа Британского музея, сначала идём на "
          "египетскую выставку, потом обедаем в маленьком итальянском кафе на Грейт-Рассел-стрит, там лучшая паста в "
          "районе. Вечером Дима хочет пойти в паб у реки, а в воскресенье можно съездить в Гринвич, если погода "
          "позволит. Не забудь взять зонт и удобную обувь, ходить будем много! 😊"),
       out("Идеально, я за!")},
      {gone(in("Не говори Диме про подарок, это сюрприз на его юбилей 🎁")), out("Конечно, молчу как рыба 🐟")},
  }});
  all.push_back({"+16465550121", {Talk::English}, 32, {
      {in("Standup moved to 10:15 today, conference room Fjord."), out("Thanks for the heads up")},
      {in("Quick summary of last night's incident since you were offline: around 23:40 the nightly ETL job for the EU "
          "cluster stalled because the partition for 2019-04-02 was never created, so every insert into events_eu "
          "retried until the connection pool ran dry. Dashboards went stale for about three hours and two customers "
          "noticed. Marco added the missing partition by hand at 02:50 and the backlog drained by 04:10. Root cause is "
          "the cron job that pre-creates partitions: it silently failed after the credentials rotation on Monday. "
          "Action items: alert on partition-creation failures, add a retry with backoff to the loader, and document "
          "the rotation steps. Can you own the alerting piece? Draft postmortem is in the team folder, please add your "
          "notes before Thursday's review."),
       out("On it. I'll have the alert rule up for review by EOD tomorrow.")},
      {gone(in("Between us: layoffs are being discussed for Q3, nothing decided. Please keep this quiet.")),
       gone(out("Understood. Thanks for telling me 😬"))},
      {in("Offsite is confirmed for May 16-17 at the Sonoma lodge, carpool sign-up sheet is in Slack"),
       out("Can you review my PR #4821 when you get a chance?"), in("Approved ✅")},
  }});
  all.push_back({"+12025550173", {Talk::English}, 6, {
      {in("Bright Smile Dental: Reminder of your cleaning appointment on Tue Mar 12 at 8:30 AM with Dr. Kim. Reply C "
          "to confirm or call (202) 555-0173 to reschedule."),
       out("C"), in("Thank you! Your appointment is confirmed. Please arrive 10 minutes early.")},
      {in("Bright Smile Dental: Reminder of your appointment on Tue Jun 11 at 4:15 PM. Reply C to confirm."), out("C"),
       in("Thank you! Your appointment is confirmed.")},
  }, 50, 160});
  all.push_back({"55501", {Talk::BankAlerts}, 12, {
      {gone(in("Harborview CU: Your verification code is 730511. It expires in 10 minutes. Never share this code."))},
      {in("Harborview CU: Unusual sign-in from a new device in Lisbon, PT. If this wasn't you, call 1-800-555-0127 now.")},
  }, 0, 171, true});
  all.push_back({"5550199", {Talk::English}, 22, {
      {in("Hey neighbor, your package ended up at my door again 📦"), out("Ugh, sorry! I'll grab it tonight"),
       in("No rush. Also the HOA meeting is Wednesday at 7")},
      {gone(in("Can you water my plants while I'm in Denver? Spare key is under the blue flowerpot.")), out("Sure, no problem")},
      {out("Your dog got out again, he's in my yard 🐕"), in("Omg thank you!! Coming")},
  }});
  all.push_back({"+33639981234", {Talk::French}, 20, {
      {in("Coucou ! Tu es dispo ce week-end pour chiner ? 🛍️"), out("Oui avec plaisir ! Samedi matin ?")},
      {in("Parfait ! Alors on se retrouve samedi à 10h devant la boulangerie de la rue des Martyrs. Ensuite on peut "
          "faire le marché aux puces de Saint-Ouen, j'ai besoin d'une lampe pour le salon et peut-être d'un vieux "
          "miroir. Pour le déjeuner je propose le petit bistrot où on était allées l'an dernier, ils font une tarte "
          "Tatin incroyable. Et le soir, si tu as encore de l'énergie, il y a un concert de jazz manouche au Caveau à "
          "21h, les places sont à 15 euros. Dis-moi ce qui te tente !"),
       out("Tout me tente 😍 À samedi !")},
      {gone(in("Je suis enceinte !!! Tu es la première à qui je le dis, garde-le pour toi pour l'instant 🤰")),
       gone(out("AAAH félicitations !!! 😭❤️ Motus et bouche cousue"))},
      {in("Merci pour hier soir, c'était génial ✨")},
  }});
  Conversation party{"+15125550163", {Talk::English}, 10, {
      {in("Surprise party for Maya is Saturday the 27th at my place, 7 pm. She thinks we're just getting tacos 🌮"),
       out("I'm in! What should I bring?")},
      {in("Here's the breakdown so nobody double-buys: Dev is on decorations (gold and navy, no glitter this time "
          "please), Jenna has the cake from the bakery on 24th, I've got tacos and the margarita machine, you're on "
          "playlist and ice, like 4 bags. Arrive by 6:30 and park on Elm, not in front of the house, she knows your "
          "car. Her roommate will text me when they leave. Lights off, everybody hides in the kitchen, I'll open the "
          "door. If she finds out before Saturday I am blaming you personally 😂"),
       out("Ice and playlist, got it 🎶")},
      {in("She suspects NOTHING 🤐")},
  }, 95, 115};
  party.erasedWhole = true;
  all.push_back(party);
  Conversation climbing{"+17185550186", {Talk::English}, 6, {
      {in("Hey it's Ryan from the climbing gym, good climbing with you today!"), out("Likewise! Same time Thursday?"),
       in("Deal. Bring the chalk you owe me 😄")},
      {out("Thanks for the beta on that overhang route")},
  }, 20, 70};
  climbing.erasedWhole = true;
  all.push_back(climbing);
  all.push_back({"+14155550182", {Talk::English, Talk::Japanese}, 14, {
      {in("Kenji here, new number, please save it 🙏"), out("Saved! お久しぶり！")},
      {in("来月サンフランシスコに行くよ。ラーメン行こう🍜"), out("ぜひ！ Mensho in the Tenderloin?")},
      {gone(in("Between you and me, Aiko and I are getting divorced. 誰にも言わないでね。 We've been living apart since "
               "January and the lawyers are finally sorting out the house. The kids stay with her during the week and "
               "with me on weekends, which honestly is the hardest part. I haven't told my parents yet, so please "
               "don't mention it if you talk to my sister. I'll explain more over ramen next month. Thanks for always "
               "being there.")),
       out("I'm so sorry. Here for you anytime.")},
  }, 60, 171});
  return all;
}

struct Message {
  std::size_t conversation;
  Box box;
  std::string body;
  Millis date;
  bool erased, locked, unread;
  RowId id = 0;
};

// Splits the filler messages into small sittings placed between the scripted scenes.
std::vector<std::vector<Line>> sittings(const Conversation& talk, Rng& rng) {
  int scripted = 0;
  for (const auto& scene : talk.scenes) scripted += static_cast<int>(scene.size());
  int fillers = talk.total - scripted;
  const int gaps = static_cast<int>(talk.scenes.size()) + 1;
  std::vector<std::vector<Line>> result;
  for (int gap = 0; gap < gaps; ++gap) {
    int share = gap + 1 == gaps ? fillers : std::min(fillers, rng.between(0, 2 * (fillers / (gaps - gap)) + 1));
    fillers -= share;
    while (share > 0) {
      const int size = std::min(share, rng.between(1, 4));
      std::vector<Line> sitting;
      for (int i = 0; i < size; ++i) {
        const Box box = talk.inboxOnly || rng.below(2) == 0 ? Box::Inbox : Box::Sent;
        sitting.push_back({box, filler(talk.talks, rng)});
      }
      result.push_back(sitting);
      share -= size;
    }
    if (gap < static_cast<int>(talk.scenes.size())) result.push_back(talk.scenes[static_cast<std::size_t>(gap)]);
  }
  return result;
}

std::vector<Message> planConversation(const Conversation& talk, std::size_t index, Rng& rng) {
  const auto parts = sittings(talk, rng);
  std::vector<Millis> starts;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const int day = rng.between(talk.firstDay, talk.lastDay);
    // 08:00-22:59 Pacific, i.e. 16:00-06:59 UTC of the next day.
    starts.push_back(kMessagesStartMs + day * kDayMs + 16 * kHourMs + rng.below(15 * 3600) * 1000LL);
  }
  std::sort(starts.begin(), starts.end());
  std::vector<Message> messages;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    Millis when = starts[i];
    for (const Line& line : parts[i]) {
      messages.push_back({index, line.box, line.body, when, line.erased || talk.erasedWhole, line.locked, false});
      when += rng.between(20, 600) * 1000LL + rng.below(1000);
    }
  }
  if (talk.inboxOnly) {  // the newest two alerts are still unread
    for (std::size_t i = messages.size() > 2 ? messages.size() - 2 : 0; i < messages.size(); ++i) messages[i].unread = true;
  }
  return messages;
}

std::vector<Message> planMessages(const std::vector<Conversation>& conversations) {
  Rng rng(0xD3B0F0A3E2ULL);
  std::vector<Message> all;
  for (std::size_t i = 0; i < conversations.size(); ++i) {
    auto messages = planConversation(conversations[i], i, rng);
    all.insert(all.end(), messages.begin(), messages.end());
  }
  std::stable_sort(all.begin(), all.end(), [](const Message& a, const Message& b) { return a.date < b.date; });
  return all;
}

class MessageWriter {
 public:
  explicit MessageWriter(Database& db)
      : db_(db),
        address_(db, "INSERT INTO canonical_addresses (address) VALUES (?)"),
        thread_(db, "INSERT INTO threads (date, message_count, recipient_ids, snippet, snippet_cs, read, archived, type, "
                    "error, has_attachment) VALUES (?, 0, ?, NULL, 0, 1, 0, 0, 0, 0)"),
        sms_(db, "INSERT INTO sms (thread_id, address, person, date, date_sent, protocol, read, status, type, "
                 "reply_path_present, subject, body, service_center, locked, sub_id, error_code, creator, seen) "
                 "VALUES (?, ?, NULL, ?, ?, ?, ?, -1, ?, ?, NULL, ?, ?, ?, 1, 0, ?, 1)"),
        words_(db, "INSERT INTO words (_id, index_text, source_id, table_to_use) VALUES (?, ?, ?, 1)") {}

  // Thread ids come from the first message to or from an address, as on the phone.
  RowId threadFor(const std::string& address, Millis date) {
    const auto found = threads_.find(address);
    if (found != threads_.end()) return found->second;
    address_.run({address});
    const RowId recipient = db_.lastInsertId();
    thread_.run({date, std::to_string(recipient)});
    return threads_[address] = db_.lastInsertId();
  }

  RowId insert(const Message& message, const Conversation& talk) {
    const bool received = message.box == Box::Inbox;
    const RowId threadId = threadFor(talk.address, message.date);
    const Millis sent = received ? message.date - 2000 - static_cast<Millis>(message.body.size() % 23) * 1000 : 0;
    sms_.run({threadId, talk.address, message.date, sent, received ? Value(0) : Value(nullptr), message.unread ? 0 : 1,
              static_cast<int>(message.box), received ? Value(0) : Value(nullptr), message.body,
              received ? Value(kServiceCenter) : Value(nullptr), message.locked ? 1 : 0,
              received ? "com.android.phone" : "com.google.android.apps.messaging"});
    const RowId id = db_.lastInsertId();
    words_.run({id, message.body, id});
    return id;
  }

  RowId threadId(const std::string& address) const { return threads_.at(address); }

 private:
  Database& db_;
  Statement address_, thread_, sms_, words_;
  std::map<std::string, RowId> threads_;
};

// Besides the scripted deletions, the owner cleared the newest message on a
// few pages: every fourth leaf and the rightmost one (the latest text of all).
// Messages are appended in _id order, so the last row of a leaf is the lowest
// cell on its page, right at the start of the cell content area: deleting it
// grows the unassigned area instead of making a freeblock.
void markPageTails(const std::vector<Leaf>& leaves, std::vector<Message>& messages) {
  for (std::size_t leaf = 1; leaf < leaves.size(); ++leaf) {
    if (leaf % 4 != 1 && leaf + 1 != leaves.size()) continue;
    for (Message& message : messages) {
      if (message.id == leaves[leaf].last && !message.locked) message.erased = true;
    }
  }
}

void fillMessages(Database& db, const std::vector<Conversation>& conversations, std::vector<Message>& messages,
                  MessageWriter& writer) {
  db.exec("BEGIN");
  for (Message& message : messages) message.id = writer.insert(message, conversations[message.conversation]);
  db.exec("COMMIT");
}

// What the provider's updateThread() leaves behind after a delete: counts,
// snippet and date from the remaining messages, empty threads dropped.
void refreshThreads(Database& db) {
  db.exec(
      "UPDATE threads SET message_count = (SELECT COUNT(*) FROM sms WHERE sms.thread_id = threads._id AND sms.type != 3), "
      "date = IFNULL((SELECT MAX(date) FROM sms WHERE sms.thread_id = threads._id), date), "
      "snippet = (SELECT body FROM sms WHERE sms.thread_id = threads._id ORDER BY date DESC, _id DESC LIMIT 1), "
      "read = CASE (SELECT COUNT(*) FROM sms WHERE sms.thread_id = threads._id AND sms.read = 0) WHEN 0 THEN 1 ELSE 0 END");
  db.exec("DELETE FROM threads WHERE _id NOT IN (SELECT thread_id FROM sms WHERE thread_id IS NOT NULL "
          "UNION SELECT thread_id FROM pdu WHERE thread_id IS NOT NULL)");
}

void eraseMessages(Database& db, const std::vector<Conversation>& conversations, const std::vector<Message>& messages,
                   const MessageWriter& writer) {
  db.exec("BEGIN");
  Statement one(db, "DELETE FROM sms WHERE _id = ?");
  for (const Message& message : messages) {
    if (message.erased && !conversations[message.conversation].erasedWhole) one.run({message.id});
  }
  Statement thread(db, "DELETE FROM sms WHERE thread_id = ?");
  for (const Conversation& talk : conversations) {
    if (talk.erasedWhole) thread.run({writer.threadId(talk.address)});
  }
  refreshThreads(db);
  db.exec("COMMIT");
}

void makeMessagesDb(const std::string& path, const std::vector<Conversation>& conversations,
                    std::vector<Message>& messages) {
  auto db = createFresh(path);
  db->exec("PRAGMA user_version=67");
  db->exec(std::string("BEGIN;") + kMessagesSchema + "INSERT INTO android_metadata VALUES ('en_US'); COMMIT;");
  {
    MessageWriter writer(*db);
    fillMessages(*db, conversations, messages, writer);
    const auto before = leafLayout(*db, "sms");
    markPageTails(before, messages);
    eraseMessages(*db, conversations, messages, writer);
    requireSameLeaves(before, leafLayout(*db, "sms"), "sms");
  }
  db->close();
}

// ---------------------------------------------------------------------------

void report(const AddressBook& book, const std::vector<Conversation>& conversations, const std::vector<Message>& messages) {
  int liveContacts = 0;
  std::string deletedNames;
  for (const Person& person : book.people) {
    if (!person.isDeleted) ++liveContacts;
    else deletedNames += (deletedNames.empty() ? "" : ", ") + person.displayName();
  }
  std::cout << "contacts2.db: " << liveContacts << " live contacts, " << book.people.size() - static_cast<std::size_t>(liveContacts)
            << " deleted (" << deletedNames << ")\n";
  std::map<std::string, int> erasedPerAddress;
  int erased = 0;
  for (const Message& message : messages) {
    if (!message.erased) continue;
    ++erased;
    ++erasedPerAddress[conversations[message.conversation].address];
  }
  std::cout << "mmssms.db: " << messages.size() - static_cast<std::size_t>(erased) << " live messages, " << erased
            << " deleted:";
  for (const auto& [address, count] : erasedPerAddress) std::cout << " " << address << "=" << count;
  std::cout << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make-demo-phone OUTPUT_DIR\n"
                 "(Re)creates OUTPUT_DIR/contacts2.db and OUTPUT_DIR/mmssms.db for the demo phone.\n";
    return 2;
  }
  const std::string dir = argv[1];
  AddressBook book{demoPeople(), {}};
  makeContactsDb(dir + "/contacts2.db", book);
  const auto conversations = demoConversations();
  auto messages = planMessages(conversations);
  makeMessagesDb(dir + "/mmssms.db", conversations, messages);
  report(book, conversations, messages);
  return 0;
}
