// Whole recovery sessions on real databases made by SQLite.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/SqliteParse.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"

using namespace testing_support;

namespace {

int countOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// Filler rows push the rowids of the rows under test past 127, so that the
// 4 bytes a freeblock header overwrites are exactly the payload length, the
// 2-byte rowid and the header length.
void addFillerContacts(TestDatabase& db, int count) {
  db.exec("BEGIN");
  for (int k = 0; k < count; ++k) addDataRow(db, 1000 + k / 2, k % 2 ? "Filler " + std::to_string(k) : "4440" + std::to_string(k));
  db.exec("COMMIT");
}

class SqliteParseTest : public ::testing::Test {
 protected:
  std::string contacts() const { return dir.file("contacts2.db"); }
  std::string sms() const { return dir.file("mmssms.db"); }

  // A contacts database with two deleted contacts among many live ones.
  void makeContacts(const std::string& path, const std::string& schema = contactsDataSchema()) {
    TestDatabase db(path);
    db.exec(schema);
    addFillerContacts(db, 200);
    addDataRow(db, 7, "Alice Deleted");
    addDataRow(db, 7, "5550001");
    addDataRow(db, 8, "+1 555 0002");
    addDataRow(db, 8, "Bob Deleted");
    addDataRow(db, 9, "Carol Live");
    addDataRow(db, 9, "5550003");
    addFillerContacts(db, 60);
    db.exec("DELETE FROM data WHERE raw_contact_id IN (7, 8)");
  }

  // An SMS database with deleted messages among many live ones.
  void makeSms(const std::string& path) {
    TestDatabase db(path);
    db.exec(smsSchema());
    db.exec("BEGIN");
    for (int k = 0; k < 200; ++k) addMessage(db, "5550003", "live message number " + std::to_string(k));
    addMessage(db, "+865550003", "deleted hello to Carol");
    addMessage(db, "+1 555 0009", "deleted from a stranger");
    for (int k = 0; k < 50; ++k) addMessage(db, "5550003", "later live message " + std::to_string(k));
    db.exec("COMMIT");
    db.exec("DELETE FROM sms WHERE body LIKE 'deleted%'");
  }

  TempDir dir;
};

}  // namespace

TEST_F(SqliteParseTest, RecoversDeletedContactPairs) {
  makeContacts(contacts());
  const std::string text = recover(contacts(), sms(), eContacts);
  EXPECT_EQ(countOf(text, "Alice Deleted\t5550001\r\n"), 1) << text;
  // Bob's rows were merged into one freeblock that starts at the later
  // (lower) cell, so his name comes first in file order.
  EXPECT_EQ(countOf(text, "Bob Deleted\t+1 555 0002\r\n"), 1) << text;
  EXPECT_EQ(countOf(text, "Carol Live"), 0);
}

TEST_F(SqliteParseTest, RecoversDeletedMessagesWithSenderNames) {
  makeContacts(contacts());
  makeSms(sms());
  const std::string text = recover(contacts(), sms(), eSms);
  EXPECT_EQ(countOf(text, "Carol Live\t+865550003\tdeleted hello to Carol\r\n"), 1) << text;
  EXPECT_EQ(countOf(text, "N/A\t+1 555 0009\tdeleted from a stranger\r\n"), 1) << text;
  EXPECT_EQ(countOf(text, "live message"), 0);
}

TEST_F(SqliteParseTest, SmsWithoutAContactsCopyNamedSoStillCarves) {
  makeContacts(dir.file("people.db"));
  makeSms(sms());
  const std::string text = recover(dir.file("people.db"), sms(), eSms);
  EXPECT_EQ(countOf(text, "N/A\t+865550003\tdeleted hello to Carol\r\n"), 1) << text;
}

TEST_F(SqliteParseTest, NothingWithoutTheRightFiles) {
  makeContacts(dir.file("people.db"));
  makeSms(sms());
  EXPECT_EQ(recover(contacts(), sms(), eContacts), "");           // no such file
  EXPECT_EQ(recover(dir.file("people.db"), sms(), eContacts), "");  // name lacks contacts2.db
  EXPECT_EQ(recover(contacts(), sms(), eSms), "");                // SMS needs the contacts copy
  std::filesystem::copy_file(sms(), dir.file("messages.db"));
  makeContacts(contacts());
  EXPECT_EQ(recover(contacts(), dir.file("messages.db"), eSms), "");  // name lacks mmssms.db
}

TEST_F(SqliteParseTest, OnlyKindsZeroAndOneRun) {
  makeContacts(contacts());
  SqliteParse session(contacts(), sms());
  EXPECT_EQ(session.get_contacts_mem(), "");
  session.startParse(static_cast<ePaserType>(2));
  EXPECT_EQ(session.get_contacts_mem(), "");
  session.startParse(static_cast<ePaserType>(-1));
  EXPECT_EQ(session.get_contacts_mem(), "");
}

TEST_F(SqliteParseTest, ColumnPositionsComeFromTheSchema) {
  makeContacts(contacts(),
               "CREATE TABLE data (_id INTEGER PRIMARY KEY AUTOINCREMENT, package_id INTEGER, hash_id TEXT, "
               "data1 TEXT, raw_contact_id INTEGER, data2 TEXT, mimetype_id INTEGER)");
  const std::string text = recover(contacts(), sms(), eContacts);
  EXPECT_EQ(countOf(text, "Alice Deleted\t5550001\r\n"), 1) << text;
  EXPECT_EQ(countOf(text, "Bob Deleted\t+1 555 0002\r\n"), 1) << text;
}

TEST_F(SqliteParseTest, TableWhoseEveryRowWasDeletedIsCarved) {
  {
    // One leaf page, emptied row by row as a phone deletes. SQLite then
    // resets the page, so the rows are found in its unassigned area. (Even
    // cell sizes: an odd freeblock size byte would pass for a text type.)
    TestDatabase db(contacts());
    db.exec("CREATE TABLE data (_id INTEGER PRIMARY KEY, raw_contact_id INTEGER, data1 TEXT)");
    db.exec("INSERT INTO data VALUES (300, 7, 'Alice Gone')");
    db.exec("INSERT INTO data VALUES (301, 7, '55500012')");
    db.exec("INSERT INTO data VALUES (302, 8, 'Bob Gone')");
    db.exec("DELETE FROM data WHERE _id > 0");
    ASSERT_EQ(db.scalar("SELECT count(*) FROM data"), 0);
  }
  const std::string text = recover(contacts(), sms(), eContacts);
  EXPECT_EQ(text, "Alice Gone\t55500012\r\nBob Gone\tN/A\r\n");
}

TEST_F(SqliteParseTest, MissingTableOrColumnSkipsCarving) {
  const std::string insertAndDelete =
      "INSERT INTO data VALUES (300, 7, 'Alice Gone'); INSERT INTO data VALUES (301, 7, '55500012'); "
      "DELETE FROM data WHERE _id > 0";
  {
    TestDatabase db(contacts());
    db.exec("CREATE TABLE data (_id INTEGER PRIMARY KEY, raw_contact_id INTEGER, data1 TEXT)");
    db.exec(insertAndDelete);
  }
  ASSERT_EQ(recover(contacts(), sms(), eContacts), "Alice Gone\t55500012\r\n");
  {
    TestDatabase db(contacts());
    db.exec("ALTER TABLE data RENAME TO data_old");
  }
  EXPECT_EQ(recover(contacts(), sms(), eContacts), "");
  std::filesystem::remove(contacts());
  {
    TestDatabase db(contacts());
    db.exec("CREATE TABLE data (_id INTEGER PRIMARY KEY, contact INTEGER, data1 TEXT)");
    db.exec(insertAndDelete);
  }
  EXPECT_EQ(recover(contacts(), sms(), eContacts), "");
}

TEST_F(SqliteParseTest, LargestPageSize) {
  {
    TestDatabase db(contacts(), 65536);
    db.exec(contactsDataSchema());
    addFillerContacts(db, 3000);
    addDataRow(db, 7, "Alice Deleted");
    addDataRow(db, 7, "5550001");
    addFillerContacts(db, 3000);
    db.exec("DELETE FROM data WHERE raw_contact_id = 7");
  }
  ASSERT_EQ(readFile(contacts()).at(16), 0);
  ASSERT_EQ(readFile(contacts()).at(17), 1);
  EXPECT_EQ(countOf(recover(contacts(), sms(), eContacts), "Alice Deleted\t5550001\r\n"), 1);
}

TEST_F(SqliteParseTest, CopiesAreNotChanged) {
  makeContacts(contacts());
  makeSms(sms());
  const auto contactsBefore = readFile(contacts());
  const auto smsBefore = readFile(sms());
  recover(contacts(), sms(), eSms);
  recover(contacts(), sms(), eContacts);
  EXPECT_EQ(readFile(contacts()), contactsBefore);
  EXPECT_EQ(readFile(sms()), smsBefore);
  EXPECT_FALSE(std::filesystem::exists(contacts() + "-journal"));
}

TEST_F(SqliteParseTest, WalIsReadButNotCheckpointed) {
  // A phone keeps recent changes in the -wal: the copy must not absorb it.
  makeSms(sms());
  const std::string live = dir.file("live-contacts2.db");
  makeContacts(live);
  TestDatabase writer(live);
  writer.exec("PRAGMA journal_mode=WAL");
  writer.exec("PRAGMA wal_autocheckpoint=0");
  addDataRow(writer, 40, "Dana Wal");
  addDataRow(writer, 40, "5550003x");
  {
    // Pulled while the phone still has it open: main file and -wal.
    std::filesystem::copy_file(live, contacts());
    std::filesystem::copy_file(live + "-wal", contacts() + "-wal");
  }
  const auto before = readFile(contacts());
  const std::string text = recover(contacts(), sms(), eSms);
  EXPECT_EQ(readFile(contacts()), before);
  EXPECT_TRUE(std::filesystem::exists(contacts() + "-wal"));
  EXPECT_EQ(countOf(text, "deleted hello to Carol"), 1) << text;
}

TEST_F(SqliteParseTest, FilesOverTwoGigabytesAreReadWhole) {
  makeContacts(contacts());
  const std::uint32_t root = rootPageOf(contacts(), "data");
  auto bytes = readFile(contacts());
  const std::size_t pageSize = 4096;
  ASSERT_EQ(bytes[(root - 1) * pageSize], 5) << "the data table needs an interior root";
  // Find a leaf of the table that holds the deleted pair, copy it to a page
  // past 2 GiB and make it the root's right-most child.
  const std::string needle = "Alice Deleted";
  const auto found = std::search(bytes.begin(), bytes.end(), needle.begin(), needle.end());
  ASSERT_NE(found, bytes.end());
  const std::size_t leaf = static_cast<std::size_t>(found - bytes.begin()) / pageSize;
  const std::vector<std::uint8_t> leafBytes(bytes.begin() + static_cast<long>(leaf * pageSize),
                                            bytes.begin() + static_cast<long>((leaf + 1) * pageSize));
  const std::uint32_t farPage = (3u << 30) / pageSize + 1;
  std::vector<std::uint8_t> rootBytes(bytes.begin() + static_cast<long>((root - 1) * pageSize),
                                      bytes.begin() + static_cast<long>(root * pageSize));
  const std::uint32_t oldRightMost = static_cast<std::uint32_t>(rootBytes[8]) << 24 | rootBytes[9] << 16 |
                                     rootBytes[10] << 8 | rootBytes[11];
  putU32(rootBytes, 8, farPage);
  patchBytes(contacts(), (root - 1) * pageSize, rootBytes);
  std::filesystem::resize_file(contacts(), static_cast<std::uintmax_t>(farPage) * pageSize);
  patchBytes(contacts(), static_cast<std::uint64_t>(farPage - 1) * pageSize, leafBytes);
  const std::string text = recover(contacts(), sms(), eContacts);
  std::filesystem::remove(contacts());
  // The old right-most child is now unreachable; the far copy is carved
  // besides the original leaf when that one is still in the tree.
  EXPECT_EQ(countOf(text, "Alice Deleted\t5550001\r\n"), leaf + 1 == oldRightMost ? 1 : 2) << text;
}
