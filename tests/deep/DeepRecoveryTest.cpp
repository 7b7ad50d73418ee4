// The deep pass on databases made by SQLite as a phone makes them: copies
// pulled with an open WAL, journals, contacts marked deleted, large tables,
// freelist pages; what it adds to the session's text, and that no copy
// makes it crash, hang or write more than its bound.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/CarveCommand.h"
#include "deep/DeepRecovery.h"
#include "deep/FullTextIndex.h"
#include "platform/FileOperations.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

const char* const kRawContacts =
    "CREATE TABLE raw_contacts (_id INTEGER PRIMARY KEY AUTOINCREMENT, account_id INTEGER, "
    "deleted INTEGER NOT NULL DEFAULT 0, contact_id INTEGER, display_name TEXT)";

void copyWithSideFiles(const std::string& from, const std::string& to) {
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  for (const char* suffix : {"-wal", "-journal"}) {
    if (fs::exists(from + suffix)) fs::copy_file(from + suffix, to + suffix, fs::copy_options::overwrite_existing);
  }
}

std::string message(int k) { return "message number " + std::to_string(k) + " about the weekend plans"; }

// An SMS table made under `pragmas` with messages 1 to `count` from one address.
void fillMessages(TestDatabase& sms, const char* pragmas, int count, const std::string& address) {
  sms.exec(pragmas);
  sms.exec(smsSchema());
  for (int k = 1; k <= count; ++k) addMessage(sms, address, message(k));
}

// A phone's two databases: 12 contacts of name and number, 60 messages
// from them.
void fillPhone(TestDatabase& contacts, TestDatabase& sms) {
  contacts.exec(kRawContacts);
  contacts.exec(contactsDataSchema());
  contacts.exec("BEGIN");
  for (int k = 1; k <= 12; ++k) {
    contacts.run("INSERT INTO raw_contacts (_id, contact_id) VALUES (?, ?)", {"#" + std::to_string(k), "#" + std::to_string(k)});
    addDataRow(contacts, k, "Person " + std::to_string(k));
    addDataRow(contacts, k, "55501" + std::to_string(10 + k));
  }
  contacts.exec("COMMIT");
  sms.exec(smsSchema());
  sms.exec("BEGIN");
  for (int k = 1; k <= 60; ++k) addMessage(sms, "55501" + std::to_string(10 + k % 12 + 1), message(k));
  sms.exec("COMMIT");
}

// The phone of fillPhone in `dir`, secure delete on for the contacts, then
// `change` made to the contacts.
void makePhoneWithContactsChange(const TempDir& dir, const char* change) {
  TestDatabase contacts(dir.file("contacts2.db"));
  TestDatabase sms(dir.file("mmssms.db"));
  contacts.exec("PRAGMA secure_delete=ON");
  fillPhone(contacts, sms);
  contacts.exec(change);
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

bool holdsLine(const std::string& text, const std::string& line) {
  for (const std::string& each : linesOf(text)) {
    if (each == line) return true;
  }
  return false;
}

std::size_t countSource(const deep::DeepResult& result, deep::Source source) {
  std::size_t count = 0;
  for (std::size_t k = 0; k < result.lineCount(); ++k) count += result.source(k) == source ? 1 : 0;
  return count;
}

}  // namespace

// Android 8 and later: secure delete on, the deletions still in the -wal
// of a copy pulled while the provider had the database open. The main file
// holds the deleted rows as live cells; the copies stay as they were.
TEST(DeepRecovery, ACopyWithAnOpenWalGivesTheRowsItsLogDeleted) {
  TempDir dir;
  const std::string contactsCopy = dir.file("copy/contacts2.db");
  const std::string smsCopy = dir.file("copy/mmssms.db");
  fs::create_directories(dir.file("copy"));
  {
    TestDatabase contacts(dir.file("contacts2.db"));
    TestDatabase sms(dir.file("mmssms.db"));
    for (TestDatabase* db : {&contacts, &sms}) {
      db->exec("PRAGMA secure_delete=ON; PRAGMA auto_vacuum=FULL; PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=100");
    }
    fillPhone(contacts, sms);
    contacts.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    sms.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    contacts.exec("DELETE FROM data WHERE raw_contact_id = 4; DELETE FROM raw_contacts WHERE _id = 4");
    sms.exec("DELETE FROM sms WHERE _id IN (7, 30, 31)");
    copyWithSideFiles(dir.file("contacts2.db"), contactsCopy);
    copyWithSideFiles(dir.file("mmssms.db"), smsCopy);
  }
  ASSERT_TRUE(fs::exists(smsCopy + "-wal"));
  const auto before = readFile(smsCopy + "-wal");

  const std::string session = recover(contactsCopy, smsCopy, 1);
  EXPECT_EQ(session, "");  // secure delete: nothing in free space
  const deep::DeepResult messages = deep::RecoverDeep(contactsCopy, smsCopy, eSms, session);
  ASSERT_EQ(messages.lineCount(), 3u) << messages.text();
  // Named after the live contact whose number is the address.
  EXPECT_EQ(messages.line(0), "Person 8\t5550118\t" + message(7) + "\r\n");
  EXPECT_EQ(messages.source(0), deep::Source::kWal);
  EXPECT_TRUE(holdsLine(messages.text(), "Person 7\t5550117\t" + message(30)));

  const deep::DeepResult contacts = deep::RecoverDeep(contactsCopy, smsCopy, eContacts, "");
  EXPECT_EQ(contacts.text(), "Person 4\t5550114\r\n");

  EXPECT_EQ(readFile(smsCopy + "-wal"), before);
  EXPECT_FALSE(fs::exists(smsCopy + "-shm"));
}

// A checkpoint, then a new log generation over the start of the -wal: the
// old generation's later frames are stale but their images still count.
TEST(DeepRecovery, StaleFramesOfAnOlderLogGenerationCount) {
  TempDir dir;
  const std::string copy = dir.file("copy-mmssms.db");
  {
    TestDatabase sms(dir.file("mmssms.db"));
    sms.exec("PRAGMA secure_delete=ON; PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0");
    sms.exec(smsSchema());
    sms.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    for (int k = 1; k <= 80; ++k) addMessage(sms, "5550199", message(k));  // one frame set each
    sms.exec("DELETE FROM sms WHERE _id = 75");
    sms.exec("PRAGMA wal_checkpoint(PASSIVE)");
    sms.exec("DELETE FROM sms WHERE _id = 3");  // restarts the log at its start
    copyWithSideFiles(dir.file("mmssms.db"), copy);
  }
  const deep::DeepResult result = deep::RecoverDeep(dir.file("none-contacts2.db"), copy, eSms, "");
  EXPECT_TRUE(holdsLine(result.text(), "N/A\t5550199\t" + message(75))) << result.text();
  EXPECT_TRUE(holdsLine(result.text(), "N/A\t5550199\t" + message(3))) << result.text();
  for (int k : {1, 40, 80}) EXPECT_FALSE(holdsLine(result.text(), "N/A\t5550199\t" + message(k)));
}

// A frame whose checksum does not chain ends the log's state: the rows it
// would have deleted are live, and so are not reported.
TEST(DeepRecovery, AFrameThatDoesNotChainEndsTheState) {
  TempDir dir;
  const std::string copy = dir.file("copy-mmssms.db");
  {
    TestDatabase sms(dir.file("mmssms.db"));
    fillMessages(sms, "PRAGMA secure_delete=ON; PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0", 20, "5550199");
    sms.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    sms.exec("DELETE FROM sms WHERE _id = 5");
    sms.exec("DELETE FROM sms WHERE _id = 6");
    copyWithSideFiles(dir.file("mmssms.db"), copy);
  }
  EXPECT_EQ(linesOf(deep::RecoverDeep("", copy, eSms, "").text()).size(), 2u);
  // Break the last frame's checksum: the second deletion never happened.
  auto wal = readFile(copy + "-wal");
  const std::size_t frameBytes = 24 + 4096;
  const std::size_t last = 32 + ((wal.size() - 32) / frameBytes - 1) * frameBytes;
  wal[last + 16] ^= 0xFF;
  writeFile(copy + "-wal", wal);
  const std::string text = deep::RecoverDeep("", copy, eSms, "").text();
  EXPECT_TRUE(holdsLine(text, "N/A\t5550199\t" + message(5))) << text;
  EXPECT_FALSE(holdsLine(text, "N/A\t5550199\t" + message(6))) << text;
}

// PERSIST, secure delete on: the journal keeps the deleted rows' pages.
TEST(DeepRecovery, APersistJournalGivesTheRowsItsTransactionsDeleted) {
  TempDir dir;
  {
    TestDatabase sms(dir.file("mmssms.db"));
    fillMessages(sms, "PRAGMA secure_delete=ON; PRAGMA journal_mode=PERSIST", 30, "5550123");
    sms.exec("DELETE FROM sms WHERE _id BETWEEN 10 AND 12");
  }
  const deep::DeepResult result = deep::RecoverDeep("", dir.file("mmssms.db"), eSms, "");
  EXPECT_EQ(result.lineCount(), 3u) << result.text();
  EXPECT_EQ(countSource(result, deep::Source::kJournal), 3u);
  EXPECT_TRUE(holdsLine(result.text(), "N/A\t5550123\t" + message(11)));
}

// A journal left by a transaction that never finished is rolled back: the
// rows it deleted are live, as SQLite reads the copy.
TEST(DeepRecovery, AnUnfinishedTransactionIsRolledBackNotReported) {
  TempDir dir;
  const std::string copy = dir.file("copy-mmssms.db");
  {
    TestDatabase sms(dir.file("mmssms.db"));
    fillMessages(sms, "PRAGMA secure_delete=ON; PRAGMA journal_mode=DELETE", 40, "5550123");
    sms.exec("PRAGMA cache_size=1; BEGIN; DELETE FROM sms WHERE _id < 30");  // spills to the file
    copyWithSideFiles(dir.file("mmssms.db"), copy);
    sms.exec("ROLLBACK");
  }
  ASSERT_TRUE(fs::exists(copy + "-journal"));
  const std::string text = deep::RecoverDeep("", copy, eSms, "").text();
  EXPECT_EQ(text, "");
}

// A synced account's contact is only marked deleted; its data rows stay.
TEST(DeepRecovery, ContactsMarkedDeletedAreDeletedContacts) {
  TempDir dir;
  makePhoneWithContactsChange(dir, "UPDATE raw_contacts SET deleted = 1, contact_id = NULL WHERE _id IN (3, 9)");
  const deep::DeepResult result =
      deep::RecoverDeep(dir.file("contacts2.db"), dir.file("mmssms.db"), eContacts, "");
  EXPECT_EQ(result.text(), "Person 3\t5550113\r\nPerson 9\t5550119\r\n");
  EXPECT_EQ(countSource(result, deep::Source::kMarkedDeleted), 2u);
}

// Secure delete off: what the session already wrote is not written again,
// and values that live rows hold are no deleted records.
TEST(DeepRecovery, LinesOfTheSessionAndLiveValuesAreNotRepeated) {
  TempDir dir;
  {
    TestDatabase contacts(dir.file("contacts2.db"));
    TestDatabase sms(dir.file("mmssms.db"));
    fillPhone(contacts, sms);
    addMessage(sms, "5550120", message(5));  // the same message twice
    sms.exec("DELETE FROM sms WHERE _id IN (5, 20)");
    contacts.exec("DELETE FROM data WHERE raw_contact_id = 2");
  }
  for (const ePaserType kind : {eContacts, eSms}) {
    const std::string session = recover(dir.file("contacts2.db"), dir.file("mmssms.db"), kind);
    const std::string deepText = deep::RecoverDeep(dir.file("contacts2.db"), dir.file("mmssms.db"), kind, session).text();
    for (const std::string& line : linesOf(deepText)) EXPECT_FALSE(holdsLine(session, line)) << line;
    const std::string all = session + deepText;
    if (kind == eSms) {
      EXPECT_TRUE(holdsLine(all, "Person 9\t5550119\t" + message(20))) << all;
      EXPECT_FALSE(holdsLine(deepText, "Person 5\t5550116\t" + message(5))) << deepText;  // still live
    } else {
      EXPECT_TRUE(holdsLine(all, "Person 2\t5550112")) << all;
    }
  }
}

// Past rowid 16,383 with bodies over 127 bytes the session misreads the
// freed cells; the deep pass reads them in every alignment.
TEST(DeepRecovery, ALargeTableGivesBackItsScatteredDeletions) {
  TempDir dir;
  std::vector<std::string> deleted;
  {
    TestDatabase sms(dir.file("mmssms.db"));
    sms.exec(smsSchema());
    sms.exec("BEGIN");
    for (int k = 1; k <= 20000; ++k) addMessage(sms, "5550" + std::to_string(100 + k % 50), message(k) + std::string(150, '.'));
    sms.exec("COMMIT; BEGIN");
    for (int k = 16500; k <= 20000; k += 37) {
      sms.run("DELETE FROM sms WHERE _id = ?", {"#" + std::to_string(k)});
      deleted.push_back("N/A\t5550" + std::to_string(100 + k % 50) + "\t" + message(k) + std::string(150, '.'));
    }
    sms.exec("COMMIT");
  }
  const std::string session = recover(dir.file("none"), dir.file("mmssms.db"), 1);
  const std::string all = session + deep::RecoverDeep("", dir.file("mmssms.db"), eSms, session).text();
  std::size_t found = 0;
  for (const std::string& line : deleted) found += holdsLine(all, line) ? 1 : 0;
  EXPECT_GE(found, deleted.size() * 99 / 100) << found << " of " << deleted.size();
}

// A table emptied page by page: without auto-vacuum the pages go to the
// freelist with their cells.
TEST(DeepRecovery, PagesOnTheFreelistAreReadAsTheTablesLeaves) {
  TempDir dir;
  {
    TestDatabase sms(dir.file("mmssms.db"));
    sms.exec(smsSchema());
    for (int k = 1; k <= 300; ++k) addMessage(sms, "5550142", message(k));
    for (int k = 1; k <= 200; k += 20) sms.exec("DELETE FROM sms WHERE _id BETWEEN " + std::to_string(k) + " AND " + std::to_string(k + 19));
    ASSERT_GT(sms.scalar("PRAGMA freelist_count"), 2);
  }
  const deep::DeepResult result = deep::RecoverDeep("", dir.file("mmssms.db"), eSms, "");
  EXPECT_GT(countSource(result, deep::Source::kFreelist), 100u) << result.text();
  EXPECT_EQ(deep::RecoverDeep("", dir.file("mmssms.db"), eSms, "", deep::DeepOptions::only(deep::Source::kWal)).text(), "");
}

// `carve` alone stays the session's text; `carve --deep` adds the deep lines.
TEST(DeepRecovery, CarveDeepPrintsTheSessionThenTheDeepLines) {
  TempDir dir;
  makePhoneWithContactsChange(dir, "UPDATE raw_contacts SET deleted = 1 WHERE _id = 5");
  const std::string contacts = dir.file("contacts2.db");
  const std::string sms = dir.file("mmssms.db");
  EXPECT_EQ(deep::WithDeepLines(contacts, sms, eContacts, "a\tb\r\n"), "a\tb\r\nPerson 5\t5550115\r\n");
  std::ostringstream err;
  EXPECT_EQ(cli::runCarve({"--kind", "contacts", "--deep", contacts, sms}, err), 0) << err.str();
}

// Every cut of a copy with its -wal and every flipped bit over the start of
// the main file, the log and a journal: no crash (ASan), no hang, and the
// text stays within its bound.
TEST(DeepRecovery, DamagedCopiesAreReadSafelyAndTheTextStaysBounded) {
  TempDir dir;
  {
    TestDatabase contacts(dir.file("contacts2.db"), 512);
    TestDatabase sms(dir.file("mmssms.db"), 512);
    contacts.exec("PRAGMA journal_mode=WAL");
    sms.exec("PRAGMA journal_mode=WAL");
    fillPhone(contacts, sms);
    contacts.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    sms.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    contacts.exec("DELETE FROM data WHERE raw_contact_id = 4");
    sms.exec("DELETE FROM sms WHERE _id % 3 = 0");
    fs::create_directories(dir.file("c"));
    copyWithSideFiles(dir.file("contacts2.db"), dir.file("c/contacts2.db"));
    copyWithSideFiles(dir.file("mmssms.db"), dir.file("c/mmssms.db"));
  }
  const std::string contacts = dir.file("c/contacts2.db");
  const std::string sms = dir.file("c/mmssms.db");
  const auto main = readFile(sms);
  const auto wal = readFile(sms + "-wal");
  const auto check = [&](std::uint64_t inputBytes) {
    for (const ePaserType kind : {eContacts, eSms}) {
      const std::string text = deep::RecoverDeep(contacts, sms, kind, "").text();
      EXPECT_LE(text.size(), inputBytes * 8 + (1u << 20));
    }
  };
  for (std::size_t cut = 0; cut <= wal.size(); cut += 97) {
    writeFile(sms + "-wal", std::vector<std::uint8_t>(wal.begin(), wal.begin() + static_cast<std::ptrdiff_t>(cut)));
    check(main.size() + cut);
  }
  for (std::size_t cut = 0; cut <= main.size(); cut += 211) {
    writeFile(sms, std::vector<std::uint8_t>(main.begin(), main.begin() + static_cast<std::ptrdiff_t>(cut)));
    check(cut + wal.size());
  }
  writeFile(sms, main);
  for (std::size_t bit = 0; bit < 8 * 2048; bit += 13) {
    auto flipped = main;
    flipped[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
    writeFile(sms, flipped);
    auto log = wal;
    log[bit / 8 % log.size()] ^= static_cast<std::uint8_t>(1u << (bit % 8));
    writeFile(sms + "-wal", log);
    writeFile(sms + "-journal", flipped);  // a main file's bytes as a journal
    check(3 * main.size());
  }
}

// Android 10: TRUNCATE journal, secure delete on; a deleted message is gone
// from its table, but the full-text index keeps its words until a merge.
TEST(DeepRecovery, TheFullTextIndexGivesTheWordsOfDeletedMessages) {
  // The index is read from its bytes; only making it needs the module.
  if (sqlite3_compileoption_used("ENABLE_FTS3") == 0) GTEST_SKIP() << "this SQLite cannot make an FTS3 index";
  TempDir dir;
  {
    TestDatabase sms(dir.file("mmssms.db"));
    sms.exec("PRAGMA secure_delete=ON; PRAGMA journal_mode=TRUNCATE");
    sms.exec(smsSchema());
    sms.exec("CREATE VIRTUAL TABLE words USING FTS3 (_id INTEGER PRIMARY KEY, index_text TEXT, source_id INTEGER, "
             "table_to_use INTEGER);"
             "CREATE TRIGGER sms_words_delete AFTER DELETE ON sms BEGIN DELETE FROM words WHERE source_id = OLD._id "
             "AND table_to_use = 1; END;");
    for (int k = 1; k <= 40; ++k) {
      const std::string body = k == 7 ? "Meet me at Café Über, 7pm? Bring the KEYS!" : message(k);
      addMessage(sms, "5550100", body);
      sms.run("INSERT INTO words (_id, index_text, source_id, table_to_use) VALUES (?, ?, ?, 1)",
              {"#" + std::to_string(k), body, "#" + std::to_string(k)});
    }
    sms.exec("DELETE FROM sms WHERE _id IN (7, 33)");
  }
  const deep::DeepResult result = deep::RecoverDeep("", dir.file("mmssms.db"), eSms, "");
  EXPECT_EQ(result.text(),
            "N/A\tN/A\t[search index] meet me at café Über 7pm bring the keys\r\n"
            "N/A\tN/A\t[search index] message number 33 about the weekend plans\r\n");
  EXPECT_EQ(countSource(result, deep::Source::kFullText), 2u);
  // What the session or another source brought back whole is not repeated.
  const std::string session = "N/A\t5550100\t" + message(33) + "\r\n";
  EXPECT_EQ(deep::RecoverDeep("", dir.file("mmssms.db"), eSms, session).lineCount(), 1u);
  EXPECT_EQ(deep::fullTextWords("Ça va? OK-2 ..x"), "Ça va ok 2 x");  // ASCII letters only are folded
}
