// Whole deleted records made from recovered rows: a deleted contact once
// with all its values, a deleted value of a live contact under its name, a
// deleted message in its conversation at its time, each once whatever found
// it, and nothing made of scraps or borrowed from another row. The live
// records are read from small real databases; the rows are made by hand.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/RecoveredRows.h"
#include "phone/PhoneRecords.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"

namespace phone {
namespace {

using engine::RecoveredContactRow;
using engine::RecoveredMessageRow;
using engine::RowSource;
using engine::SourceBit;
using testing_support::TempDir;
using testing_support::TestDatabase;

constexpr std::int64_t kName = 1, kPhone = 2, kEmail = 3, kOrganization = 4, kGroup = 5;
const engine::RowSources kFreeSpace = SourceBit(RowSource::kFreeSpace);
const engine::RowSources kWal = SourceBit(RowSource::kWal);

RecoveredContactRow row(std::optional<std::int64_t> raw, std::optional<std::int64_t> mimeType, std::string data1,
                        std::string data2 = "", engine::RowSources sources = SourceBit(RowSource::kFreeSpace)) {
  RecoveredContactRow made;
  made.rawContactId = raw;
  made.mimeTypeId = mimeType;
  made.data1 = std::move(data1);
  made.data2 = std::move(data2);
  made.sources = sources;
  return made;
}

// One live contact, Ann (raw contact 1, contact 1): a name and 555-0101.
void makeContacts(const std::string& path) {
  TestDatabase db(path);
  db.exec("CREATE TABLE mimetypes (_id INTEGER PRIMARY KEY AUTOINCREMENT, mimetype TEXT NOT NULL)");
  for (const char* type : {"vnd.android.cursor.item/name", "vnd.android.cursor.item/phone_v2",
                           "vnd.android.cursor.item/email_v2", "vnd.android.cursor.item/organization",
                           "vnd.android.cursor.item/group_membership"}) {
    db.run("INSERT INTO mimetypes (mimetype) VALUES (?)", {type});
  }
  db.exec("CREATE TABLE raw_contacts (_id INTEGER PRIMARY KEY AUTOINCREMENT, account_id INTEGER, "
          "deleted INTEGER NOT NULL DEFAULT 0, contact_id INTEGER, display_name TEXT, "
          "display_name_source INTEGER NOT NULL DEFAULT 0)");
  db.exec("CREATE TABLE contacts (_id INTEGER PRIMARY KEY AUTOINCREMENT, name_raw_contact_id INTEGER)");
  db.exec(testing_support::contactsDataSchema());
  db.exec("INSERT INTO raw_contacts (_id, contact_id, display_name, display_name_source) VALUES (1, 1, 'Ann', 40)");
  db.exec("INSERT INTO contacts (_id, name_raw_contact_id) VALUES (1, 1)");
  db.exec("INSERT INTO data (mimetype_id, raw_contact_id, data1) VALUES (1, 1, 'Ann')");
  db.exec("INSERT INTO data (mimetype_id, raw_contact_id, data1, data2) VALUES (2, 1, '555-0101', '2')");
  // Mira: deleted on the phone, waiting for her account to sync; her rows stay.
  db.exec("INSERT INTO raw_contacts (_id, deleted, display_name) VALUES (2, 1, 'Mira')");
  db.exec("INSERT INTO data (mimetype_id, raw_contact_id, data1) VALUES (1, 2, 'Mira')");
  db.exec("INSERT INTO data (mimetype_id, raw_contact_id, data1, data2) VALUES (2, 2, '555-0166', '2')");
}

class DeletedContactsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    makeContacts(dir.file("contacts2.db"));
    ASSERT_TRUE(records.ReadContacts(dir.file("contacts2.db")).complete());
  }

  // The values of a deleted contact but its name, "type:value" each.
  std::vector<std::string> valuesOf(const ContactRecord& contact) const {
    std::vector<std::string> values;
    for (const DataRowRecord* value = records.recoveredDataRows(); value != nullptr; value = value->next) {
      if (value->contactKey != contact.contactKey || value->mimeTypeKey == kName) continue;
      values.push_back(std::string(value->typeCode != nullptr ? value->typeCode : "-") + ":" + value->value);
    }
    return values;
  }

  std::size_t import(const std::vector<RecoveredContactRow>& rows) {
    std::size_t units = 0;
    const std::size_t made = records.ImportDeletedContacts(rows, [&units] { ++units; });
    EXPECT_EQ(units, rows.size()) << "one progress unit per row";
    return made;
  }

  TempDir dir;
  PhoneRecords records;
};

TEST_F(DeletedContactsTest, OneDeletedContactWithFourValuesIsOneRecord) {
  ASSERT_EQ(import({row(9, kOrganization, "Kowalski Bakery"), row(9, kEmail, "nadia.k@example.net", "1"),
                    row(9, kPhone, "(212) 555-0137", "1"), row(9, kName, "Nadia Kowalski"),
                    row(9, kGroup, "1"),              // a group membership: no value of a card
                    row(9, kPhone, "7"),              // a scrap of one character
                    row(9, kPhone, "\xC3\x28\xC3\x28"),  // no UTF-8
                    row(std::nullopt, kPhone, "(212) 555-0137")}),  // the same number, its raw contact lost
            1u);
  const ContactRecord& nadia = *records.recoveredContacts()[0];
  EXPECT_STREQ(nadia.displayName, "Nadia Kowalski");
  EXPECT_EQ(nadia.displayNameSource, kDisplayNameFromStructuredName);
  EXPECT_EQ(nadia.deleted, 1);
  EXPECT_LT(nadia.contactKey, 0) << "no live contact's key";
  EXPECT_EQ(nadia.personKey, 9) << "the raw contact id: the person key its messages name";
  EXPECT_EQ(valuesOf(nadia), (std::vector<std::string>{"-:Kowalski Bakery", "1:nadia.k@example.net",
                                                       "1:(212) 555-0137"}));
}

TEST_F(DeletedContactsTest, DeletedValueOfALiveContactIsARecordUnderItsLiveName) {
  ASSERT_EQ(import({row(1, kPhone, "555-0102", "3"), row(1, kPhone, "555-0101", "2"), row(1, kName, "Ann Old")}),
            1u);
  const ContactRecord& ann = *records.recoveredContacts()[0];
  EXPECT_STREQ(ann.displayName, "Ann");
  EXPECT_EQ(valuesOf(ann), std::vector<std::string>{"3:555-0102"}) << "only what the live contact no longer has";
}

TEST_F(DeletedContactsTest, EachDeletedContactOnceAndNoneThatIsLiveAgain) {
  const engine::RowSources both = kWal | kFreeSpace;
  ASSERT_EQ(import({row(20, kName, "Ann"), row(20, kPhone, "+1 555 0101"),  // re-synced: live again
                    row(21, kName, "Bob"), row(21, kPhone, "555-0150", "2", kWal),
                    row(21, kPhone, "555-0150", "2", kFreeSpace),  // the same row, found twice
                    row(22, kName, "Bob"), row(22, kPhone, "555-0150", "2")}),  // a copy of 21
            1u);
  const ContactRecord& bob = *records.recoveredContacts()[0];
  EXPECT_STREQ(bob.displayName, "Bob");
  EXPECT_EQ(static_cast<engine::RowSources>(bob.sources), both) << "names every place it was found";
  EXPECT_EQ(valuesOf(bob), std::vector<std::string>{"2:555-0150"});
}

TEST_F(DeletedContactsTest, AContactMarkedDeletedIsDeletedThoughItsRowsAreStillThere) {
  const engine::RowSources marked = SourceBit(RowSource::kMarkedDeleted);
  ASSERT_EQ(import({row(2, kName, "Mira", "", marked), row(2, kPhone, "555-0166", "2", marked)}), 1u);
  EXPECT_STREQ(records.recoveredContacts()[0]->displayName, "Mira");
  EXPECT_EQ(valuesOf(*records.recoveredContacts()[0]), std::vector<std::string>{"2:555-0166"});
}

TEST_F(DeletedContactsTest, UnreadableKeysAndKindsKeepWhatIsReadableAndNeverBorrow) {
  ASSERT_EQ(import({row(30, kName, "Carla"), row(std::int64_t{1} << 40, kPhone, "555-0177", "2"),
                    row(30, std::nullopt, "carla@example.org"), row(30, 99, "not a number nor an address"),
                    row(std::nullopt, std::nullopt, "555-0188")}),
            3u);
  std::vector<std::string> made;
  for (const ContactRecord* contact : records.recoveredContacts()) {
    made.push_back(std::string(contact->displayName != nullptr ? contact->displayName : "") + "=" +
                   (valuesOf(*contact).empty() ? "" : valuesOf(*contact)[0]));
  }
  // Carla keeps her e-mail address (its kind told by its shape); the rows
  // whose raw contact is out of range or unknown stand alone, nameless.
  EXPECT_EQ(made, (std::vector<std::string>{"Carla=-:carla@example.org", "=2:555-0177", "=-:555-0188"}));
}

// Thread 1 with +15550100: a received message at 10:00 and one at 10:10.
void makeSms(const std::string& path) {
  TestDatabase db(path);
  db.exec("CREATE TABLE threads (_id INTEGER PRIMARY KEY, date INTEGER)");
  db.exec(testing_support::smsSchema());
  db.exec("INSERT INTO threads VALUES (1, 0)");
  db.exec("INSERT INTO sms (thread_id, address, date, type, body) VALUES (1, '+15550100', 1546336800000, 1, 'Before')");
  db.exec("INSERT INTO sms (thread_id, address, date, type, body) VALUES (1, '+15550100', 1546337400000, 1, 'After')");
}

RecoveredMessageRow message(std::optional<std::int64_t> thread, std::string address, std::optional<std::int64_t> date,
                            std::string body, engine::RowSources sources = SourceBit(RowSource::kFreeSpace)) {
  RecoveredMessageRow made;
  made.threadId = thread;
  made.address = std::move(address);
  made.date = date;
  made.type = 2;
  made.body = std::move(body);
  made.sources = sources;
  return made;
}

class DeletedMessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    makeSms(dir.file("mmssms.db"));
    ASSERT_TRUE(records.ReadSms(dir.file("mmssms.db")).complete());
  }

  // The bodies of a conversation's messages in list order, a deleted one
  // marked "*".
  std::vector<std::string> bodiesOf(std::int32_t thread) const {
    std::vector<std::string> bodies;
    for (const MessageRecord* m = records.smsLists().messages; m != nullptr; m = m->next) {
      if (m->threadKey == thread) bodies.push_back(std::string(IsDeleted(*m) ? "*" : "") + m->body);
    }
    return bodies;
  }

  TempDir dir;
  PhoneRecords records;
};

TEST_F(DeletedMessagesTest, ADeletedMessageSitsBetweenTheLiveOnesAtItsTimeWholeAndOnce) {
  const std::int64_t between = 1546337100000;  // 10:05
  ASSERT_EQ(records.ImportDeletedMessages({message(1, "+15550100", between, "line one\r\nline two", kWal),
                                           message(1, "+15550100", between, "line one\r\nline two", kFreeSpace),
                                           message(1, "+15550100", 1546336800000, "Before"),  // the live one again
                                           message(1, "+15550100", 1546337500000, "Before")},  // said twice
                                          nullptr),
            2u);
  EXPECT_EQ(bodiesOf(1), (std::vector<std::string>{"Before", "*line one\r\nline two", "After", "*Before"}));
  const MessageRecord& deleted = *records.smsLists().messages->next;
  EXPECT_EQ(MessageDateOf(deleted), between);
  EXPECT_NE(deleted.timeText, nullptr);
  EXPECT_EQ(deleted.direction, kDirectionSent);
  EXPECT_EQ(static_cast<engine::RowSources>(deleted.sources), kWal | kFreeSpace);
  const ConversationRecord& thread = *records.smsLists().conversations;
  EXPECT_EQ(thread.messageCount, 4);
  EXPECT_EQ(thread.deletedCount, 2);
  EXPECT_TRUE(records.recoveredConversations().empty());
}

TEST_F(DeletedMessagesTest, AGoneThreadIsAConversationOfItsOwnAndWordsAloneAreLoose) {
  RecoveredMessageRow words;
  words.body = "words of a deleted text";
  words.sources = SourceBit(RowSource::kSearchIndex);
  RecoveredMessageRow junk;  // bytes of another table read as a row: a body and nothing else
  junk.body = "12065550100c";
  junk.sources = kFreeSpace;
  ASSERT_EQ(records.ImportDeletedMessages({message(7, "+15550199", 1546340000000, "first"),
                                           message(std::nullopt, "5550199", std::nullopt, "no thread, same number"),
                                           message(1, "+15550177", 1546339000000, "thread 1 is with someone else"),
                                           message(7, "+15550199", std::int64_t{1} << 60, "a date out of range"),
                                           words, junk},
                                          nullptr),
            5u);
  ASSERT_EQ(records.recoveredConversations().size(), 3u);
  const ConversationRecord& gone = *records.recoveredConversations()[0];
  EXPECT_EQ(gone.deleted, 1);
  EXPECT_EQ(gone.threadKey, 7);
  EXPECT_EQ(bodiesOf(7), (std::vector<std::string>{"*first", "*no thread, same number", "*a date out of range"}));
  EXPECT_EQ(bodiesOf(records.recoveredConversations()[1]->threadKey),
            std::vector<std::string>{"*thread 1 is with someone else"});
  const ConversationRecord& loose = *records.recoveredConversations()[2];
  EXPECT_EQ(loose.loose, 1);
  EXPECT_EQ(bodiesOf(loose.threadKey), std::vector<std::string>{"*words of a deleted text"});
}

}  // namespace
}  // namespace phone
