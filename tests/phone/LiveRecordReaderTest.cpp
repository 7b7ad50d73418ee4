// The live-record reader: the demo phone read through it, the schemas of
// other Android versions, copies that are not what they should be, and rows
// that live only in a WAL file beside the copy.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "phone/LiveRecordReader.h"
#include "phone/PhoneRecords.h"
#include "platform/TextEncoding.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"

namespace phone {
namespace {

using testing_support::TempDir;
using testing_support::TestDatabase;

const std::string kDemoContacts = std::string(ZR_SOURCE_DIR) + "/demo/contacts2.db";
const std::string kDemoSms = std::string(ZR_SOURCE_DIR) + "/demo/mmssms.db";

// The records of a list, at most `bound` of them (a cycle fails the test).
template <typename Record>
std::vector<Record*> listOf(Record* head, std::size_t bound = 2000000) {
  std::vector<Record*> records;
  for (Record* record = head; record != nullptr; record = record->next) {
    if (records.size() == bound) {
      ADD_FAILURE() << "list longer than " << bound;
      break;
    }
    records.push_back(record);
  }
  return records;
}

std::string text(const char* value) { return value == nullptr ? std::string() : std::string(value); }

struct ContactsRead {
  ReadOutcome outcome;
  std::vector<ContactExtraRecord*> extras;
  std::vector<ContactRecord*> contacts;
  std::vector<DataRowRecord*> dataRows;
  std::vector<MimeTypeRecord*> mimeTypes;

  const ContactRecord* named(const std::string& name) const {
    for (const ContactRecord* contact : contacts) {
      if (text(contact->displayName) == name) return contact;
    }
    return nullptr;
  }
  // The contact's data rows of one mimetype, in list order.
  std::vector<const DataRowRecord*> rowsOf(const ContactRecord* contact, const std::string& mimeType) const {
    std::vector<const DataRowRecord*> rows;
    for (const DataRowRecord* row : dataRows) {
      for (const MimeTypeRecord* type : mimeTypes) {
        if (type->key == row->mimeTypeKey && text(type->mimeType) == mimeType &&
            row->contactKey == contact->contactKey) {
          rows.push_back(row);
        }
      }
    }
    return rows;
  }
};

ContactsRead readContacts(const std::string& path, RecordArena& arena) {
  ContactLists lists;
  const ReadOutcome outcome =
      ReadContactsDb(path, arena, &lists.extras, &lists.contacts, &lists.dataRows, &lists.mimeTypes);
  return {outcome, listOf(lists.extras), listOf(lists.contacts), listOf(lists.dataRows), listOf(lists.mimeTypes)};
}

struct SmsRead {
  ReadOutcome outcome;
  std::vector<ConversationRecord*> conversations;
  std::vector<MessageRecord*> messages;

  const MessageRecord* withBody(const std::string& body) const {
    for (const MessageRecord* message : messages) {
      if (text(message->body) == body) return message;
    }
    return nullptr;
  }
  std::vector<std::string> bodies() const {
    std::vector<std::string> all;
    for (const MessageRecord* message : messages) all.push_back(text(message->body));
    return all;
  }
};

SmsRead readSms(const std::string& path, RecordArena& arena) {
  SmsLists lists;
  const ReadOutcome outcome = ReadSmsDb(path, arena, &lists.conversations, &lists.messages);
  return {outcome, listOf(lists.conversations), listOf(lists.messages)};
}

// The invariants every SMS read keeps, whole or partial: each message
// belongs to a listed conversation, a conversation's messages are
// contiguous, and its count is right.
void expectConsistentSms(const SmsRead& read) {
  std::map<std::int32_t, std::int32_t> counts;
  std::set<std::int32_t> finished;
  std::int32_t current = 0;
  bool any = false;
  for (const MessageRecord* message : read.messages) {
    if (!any || message->threadKey != current) {
      EXPECT_TRUE(finished.insert(message->threadKey).second) << "thread " << message->threadKey << " split";
      current = message->threadKey;
      any = true;
    }
    ++counts[message->threadKey];
  }
  std::set<std::int32_t> listed;
  for (const ConversationRecord* conversation : read.conversations) {
    listed.insert(conversation->threadKey);
    EXPECT_EQ(conversation->messageCount, counts[conversation->threadKey]);
    EXPECT_GT(conversation->messageCount, 0);
    EXPECT_EQ(conversation->deleted, 0);
  }
  for (const auto& [thread, count] : counts) EXPECT_EQ(listed.count(thread), 1u) << "thread " << thread;
}

// A contacts database of the current shape with the given `data` table.
void createContactsTables(TestDatabase& db, const std::string& dataSchema) {
  db.exec("CREATE TABLE mimetypes (_id INTEGER PRIMARY KEY AUTOINCREMENT, mimetype TEXT NOT NULL)");
  db.exec("INSERT INTO mimetypes (mimetype) VALUES ('vnd.android.cursor.item/email_v2'), "
          "('vnd.android.cursor.item/organization'), ('vnd.android.cursor.item/phone_v2'), "
          "('vnd.android.cursor.item/name')");
  db.exec("CREATE TABLE raw_contacts (_id INTEGER PRIMARY KEY AUTOINCREMENT, account_id INTEGER, "
          "deleted INTEGER NOT NULL DEFAULT 0, contact_id INTEGER, display_name TEXT, "
          "display_name_source INTEGER NOT NULL DEFAULT 0)");
  db.exec("CREATE TABLE contacts (_id INTEGER PRIMARY KEY AUTOINCREMENT, name_raw_contact_id INTEGER, "
          "has_phone_number INTEGER NOT NULL DEFAULT 0)");
  db.exec(dataSchema);
}

const std::string kSmsWithoutPerson =
    "CREATE TABLE sms (_id INTEGER PRIMARY KEY, thread_id INTEGER, address TEXT, date INTEGER, "
    "type INTEGER, body TEXT)";

// ---------------------------------------------------------------------------
// The demo phone

TEST(LiveRecordReaderDemoTest, ContactsOfTheDemoPhone) {
  RecordArena arena;
  const ContactsRead read = readContacts(kDemoContacts, arena);
  EXPECT_TRUE(read.outcome.complete()) << read.outcome.detail;
  EXPECT_EQ(read.contacts.size(), 40u);
  EXPECT_EQ(read.extras.size(), 40u);
  EXPECT_EQ(read.dataRows.size(), 222u);
  EXPECT_EQ(read.mimeTypes.size(), 15u);
  EXPECT_EQ(read.named("Kenji Watanabe"), nullptr) << "deleted contacts are not live ones";
  EXPECT_NE(read.named(platform::narrowFromUtf8("José Álvarez")), nullptr);

  const ContactRecord* daniel = read.named("Daniel Okafor");
  ASSERT_NE(daniel, nullptr);
  EXPECT_EQ(daniel->displayNameSource, kDisplayNameFromStructuredName);
  EXPECT_EQ(daniel->checked, 1);
  EXPECT_NE(daniel->personKey, 0);
  const auto phones = read.rowsOf(daniel, kMimeTypePhone);
  ASSERT_EQ(phones.size(), 2u);
  EXPECT_EQ(text(phones[0]->value), "+1-415-555-0107");
  EXPECT_EQ(text(phones[0]->typeCode), "2");  // mobile
  EXPECT_EQ(text(phones[1]->value), "(415) 555-0100");
  EXPECT_EQ(text(phones[1]->typeCode), "3");  // work
  EXPECT_EQ(phones[0]->title, nullptr) << "title and department belong to organisations only";
  const auto organisations = read.rowsOf(daniel, kMimeTypeOrganization);
  ASSERT_EQ(organisations.size(), 1u);
  EXPECT_EQ(text(organisations[0]->value), "Bayline Transit");
  EXPECT_EQ(text(organisations[0]->title), "Operations Lead");
  EXPECT_EQ(text(organisations[0]->department), "Dispatch");
  // data2 of a structured name is the given name, not a type code.
  const auto names = read.rowsOf(daniel, "vnd.android.cursor.item/name");
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0]->typeCode, nullptr);

  // Listed by name, ASCII letters folded.
  const auto folded = [](const ContactRecord* contact) {
    std::string name = text(contact->displayName);
    for (char& c : name) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return name;
  };
  for (std::size_t i = 1; i < read.contacts.size(); ++i) EXPECT_LE(folded(read.contacts[i - 1]), folded(read.contacts[i]));
}

TEST(LiveRecordReaderDemoTest, MessagesOfTheDemoPhone) {
  RecordArena arena;
  const SmsRead read = readSms(kDemoSms, arena);
  EXPECT_TRUE(read.outcome.complete()) << read.outcome.detail;
  EXPECT_EQ(read.conversations.size(), 12u);
  EXPECT_EQ(read.messages.size(), 263u);
  expectConsistentSms(read);
  EXPECT_EQ(read.withBody("She suspects NOTHING 🤐"), nullptr) << "deleted messages are not live ones";

  const MessageRecord* received = read.withBody("Can you call Grandpa this weekend? He'd love that");
  const MessageRecord* sent = read.withBody("Will do");
  ASSERT_NE(received, nullptr);
  ASSERT_NE(sent, nullptr);
  EXPECT_EQ(received->direction, kDirectionReceived);
  EXPECT_EQ(sent->direction, kDirectionSent);
  EXPECT_EQ(text(received->address), "+12125550147");
  EXPECT_EQ(sent->threadKey, received->threadKey);
  EXPECT_EQ(received->personKey, 0) << "the demo phone stores no person";
  EXPECT_LT(std::find(read.messages.begin(), read.messages.end(), received),
            std::find(read.messages.begin(), read.messages.end(), sent)) << "the reply follows";

  // Conversations newest first, each one's messages oldest first.
  std::string previousNewest = "9999";
  std::size_t at = 0;
  for (const ConversationRecord* conversation : read.conversations) {
    const std::size_t first = at;
    at += static_cast<std::size_t>(conversation->messageCount);
    for (std::size_t i = first + 1; i < at; ++i) {
      EXPECT_LE(text(read.messages[i - 1]->timeText), text(read.messages[i]->timeText));
    }
    EXPECT_GE(previousNewest, text(read.messages[at - 1]->timeText));
    previousNewest = text(read.messages[at - 1]->timeText);
  }
}

TEST(LiveRecordReaderLimitTest, ArenaLimitGivesAPartialButConsistentRead) {
  TempDir dir;
  const std::string path = dir.file("mmssms.db");
  {
    TestDatabase db(path);
    db.exec(kSmsWithoutPerson);
    // 3000 messages in 7 threads, their dates out of order.
    db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
            "INSERT INTO sms (thread_id, address, date, type, body) "
            "SELECT i % 7, '+1555010' || (i % 7), 1600000000000 + (i * 7919) % 3001 * 1000, 1 + i % 2, "
            "'message number ' || i || ' of a long conversation' FROM n");
  }
  PhoneRecords limited(128 * 1024);
  EXPECT_EQ(limited.ReadSms(path).status, ReadStatus::kTooLarge);
  const SmsRead read{ReadOutcome{}, listOf(limited.smsLists().conversations), listOf(limited.smsLists().messages)};
  EXPECT_GT(read.messages.size(), 500u);
  EXPECT_LT(read.messages.size(), 3000u);
  expectConsistentSms(read);

  PhoneRecords unlimited;
  EXPECT_TRUE(unlimited.ReadSms(path).complete());
  EXPECT_EQ(listOf(unlimited.smsLists().messages).size(), 3000u);
  EXPECT_EQ(listOf(unlimited.smsLists().conversations).size(), 7u);
}

// ---------------------------------------------------------------------------
// Schemas of other Android versions

TEST(LiveRecordReaderSchemaTest, DataColumnsInAnotherOrderAndNamesFromTheRightRawContact) {
  TempDir dir;
  const std::string path = dir.file("contacts2.db");
  {
    TestDatabase db(path);
    createContactsTables(db, "CREATE TABLE data (data2 TEXT, data1 TEXT, raw_contact_id INTEGER NOT NULL, "
                             "_id INTEGER PRIMARY KEY AUTOINCREMENT, mimetype_id INTEGER NOT NULL)");
    // Contact 1 names raw contact 2; contact 2 records none and takes its
    // first raw contact that is not waiting to be deleted; contact 3 names
    // a raw contact that does not exist.
    db.exec("INSERT INTO raw_contacts (_id, contact_id, display_name, display_name_source, deleted) VALUES "
            "(1, 1, 'Old Name', 10, 0), (2, 1, 'Bo Chen', 40, 0), (3, 2, 'Going Away', 40, 1), (4, 2, 'Cy Diaz', 35, 0)");
    db.exec("INSERT INTO contacts (_id, name_raw_contact_id) VALUES (1, 2), (2, NULL), (3, 99)");
    db.exec("INSERT INTO data (mimetype_id, raw_contact_id, data1, data2) VALUES (3, 1, '555-0111', 2), "
            "(2, 2, 'Acme', '1'), (3, 2, '555-0122', 'Custom'), (3, 77, '555-0177', 1)");
  }
  RecordArena arena;
  const ContactsRead read = readContacts(path, arena);
  EXPECT_TRUE(read.outcome.complete()) << read.outcome.detail;
  ASSERT_EQ(read.contacts.size(), 3u);
  EXPECT_EQ(text(read.contacts[0]->displayName), "Bo Chen");
  EXPECT_EQ(read.contacts[0]->personKey, 2);
  EXPECT_EQ(text(read.contacts[1]->displayName), "Cy Diaz");
  EXPECT_EQ(read.contacts[1]->personKey, 4);
  EXPECT_EQ(read.contacts[1]->displayNameSource, 35);
  EXPECT_EQ(read.contacts[2]->displayName, nullptr) << "unnamed contacts last";
  EXPECT_EQ(read.contacts[2]->personKey, 0);
  ASSERT_EQ(read.extras.size(), 4u);
  EXPECT_EQ(read.extras[2]->markedDeleted, 1);

  // Rows of every raw contact of a contact are the contact's; an integer
  // data2 reads as decimal text, a word as none; no data4 or data5 reads as
  // no title or department; a row of an unknown raw contact is nobody's.
  const auto phones = read.rowsOf(read.contacts[0], kMimeTypePhone);
  ASSERT_EQ(phones.size(), 2u);
  EXPECT_EQ(text(phones[0]->value), "555-0111");
  EXPECT_EQ(text(phones[0]->typeCode), "2");
  EXPECT_EQ(phones[1]->typeCode, nullptr);
  const auto organisations = read.rowsOf(read.contacts[0], kMimeTypeOrganization);
  ASSERT_EQ(organisations.size(), 1u);
  EXPECT_EQ(text(organisations[0]->value), "Acme");
  EXPECT_EQ(organisations[0]->title, nullptr);
  EXPECT_EQ(organisations[0]->department, nullptr);
  ASSERT_EQ(read.dataRows.size(), 4u);
  EXPECT_EQ(read.dataRows[3]->contactKey, 0);
}

TEST(LiveRecordReaderSchemaTest, SmsTableWithoutPerson) {
  TempDir dir;
  const std::string path = dir.file("mmssms.db");
  {
    TestDatabase db(path);
    db.exec(kSmsWithoutPerson);
    db.exec("CREATE TABLE threads (_id INTEGER PRIMARY KEY, date INTEGER)");
    db.exec("INSERT INTO threads VALUES (1, 0), (2, 0), (3, 0)");
    db.exec("INSERT INTO sms (thread_id, address, date, type, body) VALUES "
            "(1, '+15550101', 1600000300000, 1, 'third'), (1, '+15550101', 1600000100000, 2, 'first'), "
            "(2, '+15550202', 1600000500000, 1, 'newest'), (1, '+15550101', 1600000200000, 5, 'second'), "
            "(4, '+15550404', 1600000000000, NULL, 'orphan'), (NULL, '556', 0, 1, 'no thread, no date')");
  }
  RecordArena arena;
  const SmsRead read = readSms(path, arena);
  EXPECT_TRUE(read.outcome.complete()) << read.outcome.detail;
  expectConsistentSms(read);
  // Thread 3 has no SMS and is left out; thread 4 is missing from `threads`
  // but has a message; a message without thread is in conversation 0.
  std::vector<std::int32_t> threads;
  for (const ConversationRecord* conversation : read.conversations) threads.push_back(conversation->threadKey);
  EXPECT_EQ(threads, (std::vector<std::int32_t>{2, 1, 4, 0}));
  EXPECT_EQ(read.bodies(),
            (std::vector<std::string>{"newest", "first", "second", "third", "orphan", "no thread, no date"}));
  std::vector<std::int32_t> directions;
  for (const MessageRecord* message : read.messages) {
    directions.push_back(message->direction);
    EXPECT_EQ(message->personKey, 0);
  }
  EXPECT_EQ(directions, (std::vector<std::int32_t>{1, 2, 2, 1, 2, 1})) << "only type 1 is received";
  EXPECT_EQ(read.messages[5]->timeText, nullptr);
}

TEST(LiveRecordReaderSchemaTest, TextsThatAreNotCleanUtf8) {
  TempDir dir;
  const std::string path = dir.file("mmssms.db");
  {
    TestDatabase db(path);
    db.exec(testing_support::smsSchema());
    db.run("INSERT INTO sms (thread_id, address, person, date, type, body) VALUES (1, ?, 12, 1600000000000, 1, ?)",
           {"+1555\xFF", std::string("Hi\xC3(there\0hidden", 16)});
    db.run("INSERT INTO sms (thread_id, address, date, type, body) VALUES (1, '555', 1600000000001, 1, ?)",
           {std::string(2 * 1024 * 1024, 'z')});
  }
  RecordArena arena;
  const SmsRead read = readSms(path, arena);
  EXPECT_TRUE(read.outcome.complete()) << read.outcome.detail;
  ASSERT_EQ(read.messages.size(), 2u);
  EXPECT_EQ(read.messages[0]->personKey, 12);
  EXPECT_EQ(text(read.messages[0]->address), "+1555\xEF\xBF\xBD");
  EXPECT_EQ(text(read.messages[0]->body), "Hi\xEF\xBF\xBD(there") << "bad bytes become U+FFFD, a NUL ends the text";
  EXPECT_EQ(read.outcome.repairedTexts, 2u) << "and are counted";
  EXPECT_EQ(text(read.messages[1]->body).size(), 1024u * 1024u) << "long texts are cut at 1 MiB";
}

// ---------------------------------------------------------------------------
// Copies that are not what they should be

TEST(LiveRecordReaderFailureTest, MissingFileNotADatabaseAndEmptyFile) {
  TempDir dir;
  RecordArena arena;
  EXPECT_EQ(readContacts(dir.file("absent.db"), arena).outcome.status, ReadStatus::kNoCopy);

  testing_support::writeFile(dir.file("notes.db"), std::vector<std::uint8_t>(8192, 'x'));
  const ContactsRead garbage = readContacts(dir.file("notes.db"), arena);
  EXPECT_EQ(garbage.outcome.status, ReadStatus::kNotADatabase) << garbage.outcome.detail;
  EXPECT_TRUE(garbage.contacts.empty() && garbage.dataRows.empty() && garbage.mimeTypes.empty() &&
              garbage.extras.empty());
  const SmsRead garbageSms = readSms(dir.file("notes.db"), arena);
  EXPECT_EQ(garbageSms.outcome.status, ReadStatus::kNotADatabase);
  EXPECT_TRUE(garbageSms.messages.empty() && garbageSms.conversations.empty());

  // SQLite takes an empty file for an empty database: no tables.
  testing_support::writeFile(dir.file("empty.db"), {});
  const SmsRead empty = readSms(dir.file("empty.db"), arena);
  EXPECT_EQ(empty.outcome.status, ReadStatus::kMissingTables);
  EXPECT_NE(empty.outcome.detail.find("sms"), std::string::npos) << empty.outcome.detail;
  EXPECT_TRUE(empty.messages.empty() && empty.conversations.empty());
}

TEST(LiveRecordReaderFailureTest, MissingTableLeavesItsListEmptyAndSaysSo) {
  TempDir dir;
  const std::string path = dir.file("contacts2.db");
  {
    TestDatabase db(path);
    db.exec("CREATE TABLE mimetypes (_id INTEGER PRIMARY KEY, mimetype TEXT); "
            "CREATE TABLE raw_contacts (_id INTEGER PRIMARY KEY, contact_id INTEGER, display_name TEXT); "
            "INSERT INTO raw_contacts VALUES (1, 1, 'Fay Green'); "
            // A view is no phone's table and is not read.
            "CREATE VIEW contacts AS SELECT contact_id AS _id FROM raw_contacts");
  }
  RecordArena arena;
  const ContactsRead read = readContacts(path, arena);
  EXPECT_EQ(read.outcome.status, ReadStatus::kMissingTables);
  EXPECT_NE(read.outcome.detail.find("no table data"), std::string::npos) << read.outcome.detail;
  EXPECT_NE(read.outcome.detail.find("no table contacts"), std::string::npos) << read.outcome.detail;
  EXPECT_TRUE(read.contacts.empty() && read.dataRows.empty());
  EXPECT_EQ(read.extras.size(), 1u);
}

TEST(LiveRecordReaderFailureTest, RowThatSqliteRefusesIsSkippedAndTheRestRead) {
  TempDir dir;
  const std::string path = dir.file("mmssms.db");
  {
    TestDatabase db(path);
    db.exec(kSmsWithoutPerson);
    db.exec("INSERT INTO sms (thread_id, date, type, body) VALUES (1, 1600000000000, 1, 'before'), "
            // Larger than the reader lets SQLite load.
            "(1, 1600000000001, 1, CAST(zeroblob(17 * 1024 * 1024) AS TEXT)), (1, 1600000000002, 1, 'after')");
  }
  RecordArena arena;
  const SmsRead read = readSms(path, arena);
  EXPECT_EQ(read.outcome.status, ReadStatus::kDamaged) << read.outcome.detail;
  EXPECT_EQ(read.bodies(), (std::vector<std::string>{"before", "after"}));
}

// Truncations and single-bit flips all over small copies: the reader may
// read less, but never crashes, hangs or hands back an inconsistent list.
TEST(LiveRecordReaderFailureTest, TruncatedAndBitFlippedCopies) {
  TempDir dir;
  const std::string contactsPath = dir.file("contacts2.db");
  const std::string smsPath = dir.file("mmssms.db");
  {
    TestDatabase db(contactsPath, 512);
    createContactsTables(db, testing_support::contactsDataSchema());
    db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 30) "
            "INSERT INTO raw_contacts (contact_id, display_name, display_name_source) SELECT i, 'Person ' || i, 40 FROM n");
    db.exec("INSERT INTO contacts (name_raw_contact_id) SELECT _id FROM raw_contacts");
    db.exec("INSERT INTO data (mimetype_id, raw_contact_id, data1, data2) SELECT 3, _id, '555-01' || _id, '2' "
            "FROM raw_contacts");
  }
  {
    TestDatabase db(smsPath, 512);
    db.exec(testing_support::smsSchema());
    db.exec("CREATE TABLE threads (_id INTEGER PRIMARY KEY)");
    for (int i = 0; i < 40; ++i) testing_support::addMessage(db, "+1555010" + std::to_string(i % 7), "message body");
  }
  const std::string damaged = dir.file("damaged.db");
  for (const std::string& original : {contactsPath, smsPath}) {
    const std::vector<std::uint8_t> bytes = testing_support::readFile(original);
    ASSERT_GT(bytes.size(), 2048u);
    std::vector<std::vector<std::uint8_t>> variants;
    for (std::size_t length = 0; length < bytes.size(); length += 61) {
      variants.emplace_back(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
    }
    for (std::size_t offset = 0; offset < bytes.size(); offset += 37) {
      variants.push_back(bytes);
      variants.back()[offset] ^= static_cast<std::uint8_t>(1u << (offset % 8));
    }
    for (const auto& variant : variants) {
      testing_support::writeFile(damaged, variant);
      RecordArena arena;
      if (original == contactsPath) {
        EXPECT_LE(readContacts(damaged, arena).contacts.size(), 30u);
      } else {
        expectConsistentSms(readSms(damaged, arena));
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Rows that are only in the WAL file beside the copy

TEST(LiveRecordReaderWalTest, RowsOnlyInTheWalFileAreRead) {
  namespace fs = std::filesystem;
  TempDir phone;
  TempDir pc;
  const std::string onPhone = phone.file("mmssms.db");
  TestDatabase db(onPhone);
  db.exec("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0");
  db.exec(kSmsWithoutPerson);
  db.exec("INSERT INTO sms (thread_id, date, type, body) VALUES (1, 1600000000000, 1, 'checkpointed')");
  db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
  db.exec("INSERT INTO sms (thread_id, date, type, body) VALUES (1, 1600000000001, 2, 'only in wal')");
  // Copied while the phone's connection is open, so nothing is checkpointed.
  fs::copy_file(onPhone, pc.file("mmssms.db"));
  fs::copy_file(onPhone + "-wal", pc.file("mmssms.db-wal"));
  const auto walSize = fs::file_size(pc.file("mmssms.db-wal"));
  ASSERT_GT(walSize, 0u);

  RecordArena arena;
  const SmsRead read = readSms(pc.file("mmssms.db"), arena);
  EXPECT_TRUE(read.outcome.complete()) << read.outcome.detail;
  EXPECT_EQ(read.bodies(), (std::vector<std::string>{"checkpointed", "only in wal"}));
  EXPECT_EQ(fs::file_size(pc.file("mmssms.db-wal")), walSize) << "reading must not fold the WAL into the copy";

  // The main file alone lacks the row: the WAL made the difference.
  TempDir bare;
  fs::copy_file(onPhone, bare.file("mmssms.db"));
  EXPECT_EQ(readSms(bare.file("mmssms.db"), arena).bodies(), (std::vector<std::string>{"checkpointed"}));
}

}  // namespace
}  // namespace phone
