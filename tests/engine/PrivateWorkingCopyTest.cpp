// Inputs are evidence: reading a copy, through the recovery session or the
// live-record reader, leaves its folder exactly as it was; a hot journal or a
// lock held by a writer still gives the last commit; a FIFO is refused.

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "engine/PrivateWorkingCopy.h"
#include "engine/SqliteParse.h"
#include "phone/LiveRecordReader.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;
using testing_support::TestDatabase;

// Every file of a folder with its bytes.
std::map<std::string, std::vector<std::uint8_t>> snapshot(const std::string& folder) {
  std::map<std::string, std::vector<std::uint8_t>> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    files[entry.path().filename().string()] = testing_support::readFile(entry.path().string());
  }
  return files;
}

std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : snapshot(folder)) names.push_back(name);
  return names;
}

int liveMessages(const std::string& path, phone::ReadOutcome* outcome = nullptr) {
  phone::RecordArena arena;
  phone::MessageRecord* messages = nullptr;
  const phone::ReadOutcome read = phone::ReadSmsDb(path, arena, nullptr, &messages);
  if (outcome != nullptr) *outcome = read;
  int count = 0;
  for (; messages != nullptr; messages = messages->next) ++count;
  return count;
}

// A contacts copy and an SMS copy with `messages` live messages and 5
// deleted ones ("gone 0" to "gone 4") among them.
void makePhone(const TempDir& dir, int messages) {
  {
    TestDatabase contacts(dir.file("contacts2.db"));
    contacts.exec(testing_support::contactsDataSchema());
    testing_support::addDataRow(contacts, 1, "Ann");
  }
  TestDatabase sms(dir.file("mmssms.db"));
  sms.exec(testing_support::smsSchema());
  sms.exec("BEGIN");
  for (int k = 0; k < messages; ++k) {
    if (k == messages / 2) {
      for (int gone = 0; gone < 5; ++gone) testing_support::addMessage(sms, "666", "gone " + std::to_string(gone));
    }
    testing_support::addMessage(sms, "555" + std::to_string(k), "body " + std::to_string(k));
  }
  sms.exec("COMMIT");
  sms.exec("DELETE FROM sms WHERE body LIKE 'gone%'");
}

// Runs everything that reads the copies: both sessions and both live reads.
void readEverything(const TempDir& dir) {
  testing_support::recover(dir.file("contacts2.db"), dir.file("mmssms.db"), eContacts);
  testing_support::recover(dir.file("contacts2.db"), dir.file("mmssms.db"), eSms);
  liveMessages(dir.file("mmssms.db"));
  phone::RecordArena arena;
  phone::ReadContactsDb(dir.file("contacts2.db"), arena, nullptr, nullptr, nullptr, nullptr);
}

// Runs `checks` (reads with expectations of their own) and then everything
// that reads the copies: the folder holds the same files with the same
// bytes afterwards.
void expectReadingChangesNothing(const TempDir& dir, const std::function<void()>& checks = [] {}) {
  const auto before = snapshot(dir.path());
  checks();
  readEverything(dir);
  EXPECT_EQ(snapshot(dir.path()), before);
}

TEST(PrivateWorkingCopy, CopiesTheDatabaseWithItsCompanionsElsewhereAndRemovesThemAfterwards) {
  TempDir dir;
  testing_support::writeFile(dir.file("mmssms.db"), {1, 2, 3});
  testing_support::writeFile(dir.file("mmssms.db-wal"), {4, 5});
  testing_support::writeFile(dir.file("mmssms.db-journal"), {6});
  testing_support::writeFile(dir.file("mmssms.db-shm"), {7});
  std::string folder;
  {
    const engine::PrivateWorkingCopy copy(dir.file("mmssms.db"));
    ASSERT_TRUE(copy.ready()) << copy.problem();
    folder = fs::path(copy.path()).parent_path().string();
    EXPECT_NE(fs::path(folder), fs::path(dir.path()));
    EXPECT_EQ(fs::path(copy.path()).filename().string(), "mmssms.db");
    // The shared-memory index is SQLite's to rebuild, never copied.
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"mmssms.db", "mmssms.db-journal", "mmssms.db-wal"}));
    EXPECT_EQ(testing_support::readFile(copy.path() + "-wal"), (std::vector<std::uint8_t>{4, 5}));
  }
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_EQ(namesIn(dir.path()).size(), 4u);
}

TEST(PrivateWorkingCopy, SaysWhyThereIsNoCopy) {
  TempDir dir;
  const engine::PrivateWorkingCopy missing(dir.file("mmssms.db"));
  EXPECT_FALSE(missing.ready());
  EXPECT_NE(missing.problem().find("no such file"), std::string::npos);
  const engine::PrivateWorkingCopy folder(dir.path());
  EXPECT_NE(folder.problem().find("is a folder"), std::string::npos);
#ifndef _WIN32
  // Opening a FIFO for reading would wait for a writer for ever.
  ASSERT_EQ(::mkfifo(dir.file("fifo-mmssms.db").c_str(), 0600), 0);
  const engine::PrivateWorkingCopy fifo(dir.file("fifo-mmssms.db"));
  EXPECT_NE(fifo.problem().find("not a regular file"), std::string::npos);
  phone::ReadOutcome outcome;
  EXPECT_EQ(liveMessages(dir.file("fifo-mmssms.db"), &outcome), 0);
  EXPECT_NE(outcome.detail.find("not a regular file"), std::string::npos);
  EXPECT_EQ(testing_support::recover(dir.file("contacts2.db"), dir.file("fifo-mmssms.db"), eSms), "");
#endif
}

TEST(InputsAreEvidence, WalCopyWithItsWalKeepsEveryFileAsItWas) {
  TempDir dir;
  makePhone(dir, 3);
  {
    TestDatabase sms(dir.file("mmssms.db"));
    sms.exec("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0");
    testing_support::addMessage(sms, "5559", "only in the wal");
    // The writer's connection ends without folding the WAL into the file.
    fs::copy_file(dir.file("mmssms.db"), dir.file("copy-mmssms.db"));
    fs::copy_file(dir.file("mmssms.db-wal"), dir.file("copy-mmssms.db-wal"));
  }
  fs::remove(dir.file("mmssms.db"));
  fs::rename(dir.file("copy-mmssms.db"), dir.file("mmssms.db"));
  fs::rename(dir.file("copy-mmssms.db-wal"), dir.file("mmssms.db-wal"));
  ASSERT_EQ(snapshot(dir.path()).count("mmssms.db-shm"), 0u);
  expectReadingChangesNothing(dir, [&] { EXPECT_EQ(liveMessages(dir.file("mmssms.db")), 4); });
}

TEST(InputsAreEvidence, WalModeCopyWithoutWalGetsNoFilesBeside) {
  TempDir dir;
  makePhone(dir, 3);
  {
    TestDatabase sms(dir.file("mmssms.db"));
    sms.exec("PRAGMA journal_mode=WAL");
  }
  expectReadingChangesNothing(dir, [&] { EXPECT_EQ(liveMessages(dir.file("mmssms.db")), 3); });
}

TEST(InputsAreEvidence, EmptyDatabaseKeepsTheWalBesideIt) {
  TempDir dir;
  makePhone(dir, 3);
  {
    TestDatabase sms(dir.file("mmssms.db"));
    sms.exec("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0");
    testing_support::addMessage(sms, "5559", "in the wal");
    fs::copy_file(dir.file("mmssms.db-wal"), dir.file("saved-wal"));
  }
  testing_support::writeFile(dir.file("mmssms.db"), {});
  fs::remove(dir.file("mmssms.db-wal"));
  fs::rename(dir.file("saved-wal"), dir.file("mmssms.db-wal"));
  expectReadingChangesNothing(dir);
}

TEST(InputsAreEvidence, HotJournalGivesTheLastCommitAndStaysBesideTheCopy) {
  TempDir dir;
  makePhone(dir, 40);
  TempDir pulled;
  fs::copy_file(dir.file("contacts2.db"), pulled.file("contacts2.db"));
  {
    // A writer stopped mid-transaction: a tiny cache makes it write changed
    // pages into the file before the commit; the copies are taken then.
    TestDatabase sms(dir.file("mmssms.db"));
    sms.exec("PRAGMA cache_size=1; BEGIN; DELETE FROM sms; UPDATE sms SET body = 'x';");
    for (int k = 0; k < 300; ++k) testing_support::addMessage(sms, "666", std::string(200, 'y'));
    ASSERT_TRUE(fs::exists(dir.file("mmssms.db-journal")));
    fs::copy_file(dir.file("mmssms.db"), pulled.file("mmssms.db"));
    fs::copy_file(dir.file("mmssms.db-journal"), pulled.file("mmssms.db-journal"));
    sms.exec("ROLLBACK");
  }
  expectReadingChangesNothing(pulled, [&] {
    phone::ReadOutcome outcome;
    EXPECT_EQ(liveMessages(pulled.file("mmssms.db"), &outcome), 40) << outcome.detail;
    EXPECT_TRUE(outcome.complete()) << outcome.detail;
  });
}

TEST(InputsAreEvidence, DatabaseLockedByAWriterReadsWhole) {
  TempDir dir;
  makePhone(dir, 250);
  TestDatabase writer(dir.file("mmssms.db"));
  writer.exec("BEGIN EXCLUSIVE; DELETE FROM sms WHERE _id = 1;");
  phone::ReadOutcome outcome;
  EXPECT_EQ(liveMessages(dir.file("mmssms.db"), &outcome), 250) << outcome.detail;
  const std::string recovered = testing_support::recover(dir.file("contacts2.db"), dir.file("mmssms.db"), eSms);
  EXPECT_NE(recovered.find("gone 2"), std::string::npos) << recovered;
  writer.exec("ROLLBACK");
}

}  // namespace
