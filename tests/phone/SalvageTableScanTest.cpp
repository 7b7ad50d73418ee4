// The salvage table scan: rows by column name whatever the schema, and what
// it keeps of a table that is damaged, too large or too slow to read.

#include "phone/SalvageTableScan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "phone/DatabaseCopy.h"
#include "phone/ReadOutcome.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"

namespace phone {
namespace {

using testing_support::TempDir;
using testing_support::TestDatabase;

constexpr int kPageSize = 512;

// The `_id` of every row a scan of `table` gives, in order.
std::vector<std::int64_t> idsOf(DatabaseCopy& copy, OutcomeBuilder& outcome, const std::string& table,
                                SalvageScanLimits limits = {}) {
  SalvageTableScan scan(copy, outcome, table, {"_id", "body"}, {"_id"}, SalvageTableScan::kRequired, limits);
  std::vector<std::int64_t> ids;
  while (scan.Next()) ids.push_back(scan.integer(0));
  return ids;
}

std::vector<std::int64_t> idsFrom(std::int64_t first, std::int64_t last) {
  std::vector<std::int64_t> ids;
  for (std::int64_t id = first; id <= last; ++id) ids.push_back(id);
  return ids;
}

// A table `messages` with _id 1..rows; with 512-byte pages it spans many
// leaf pages under one interior root.
void createMessages(const std::string& path, int rows) {
  TestDatabase db(path, kPageSize);
  db.exec("CREATE TABLE messages (_id INTEGER PRIMARY KEY, body TEXT)");
  db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(rows) +
          ") INSERT INTO messages SELECT i, 'message number ' || i || ' with some words' FROM n");
}

std::uint32_t bigEndian(const std::vector<std::uint8_t>& bytes, std::size_t offset, int width) {
  std::uint32_t value = 0;
  for (int k = 0; k < width; ++k) value = (value << 8) | bytes.at(offset + static_cast<std::size_t>(k));
  return value;
}

// Reads a varint of the file format at `offset` and moves past it.
std::int64_t varint(const std::vector<std::uint8_t>& bytes, std::size_t& offset) {
  std::int64_t value = 0;
  while (bytes.at(offset) & 0x80) value = (value << 7) | (bytes.at(offset++) & 0x7F);
  return (value << 7) | bytes.at(offset++);
}

// One leaf page of `messages` from the middle of the table, found through
// the interior root page above the leaves.
struct MiddleLeaf {
  std::size_t start = 0;                 // offset of the page in the file
  std::vector<std::size_t> cells;        // offsets of its cells in the file
  std::vector<std::int64_t> ids;         // their rowids, ascending
};

MiddleLeaf middleLeafOf(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const std::size_t root = (testing_support::rootPageOf(path, "messages") - 1) * std::size_t{kPageSize};
  MiddleLeaf leaf;
  EXPECT_EQ(bytes.at(root), 0x05) << "the root is an interior table page";
  const std::uint32_t children = bigEndian(bytes, root + 3, 2);
  EXPECT_GE(children, 4u);
  const std::size_t pointer = root + bigEndian(bytes, root + 12 + 2 * (children / 2), 2);
  leaf.start = (bigEndian(bytes, pointer, 4) - 1) * std::size_t{kPageSize};
  EXPECT_EQ(bytes.at(leaf.start), 0x0D) << "a leaf table page";
  for (std::uint32_t cell = 0; cell < bigEndian(bytes, leaf.start + 3, 2); ++cell) {
    std::size_t at = leaf.start + bigEndian(bytes, leaf.start + 8 + 2 * cell, 2);
    leaf.cells.push_back(at);
    varint(bytes, at);  // payload size
    leaf.ids.push_back(varint(bytes, at));
  }
  return leaf;
}

// A table of 300 messages, the bytes of its file and the leaf to damage;
// the damaged bytes are written beside as a copy of their own.
struct MessagesToDamage {
  TempDir dir;
  std::string path = dir.file("messages.db");
  std::vector<std::uint8_t> bytes;
  MiddleLeaf leaf;

  MessagesToDamage() {
    createMessages(path, 300);
    bytes = testing_support::readFile(path);
    leaf = middleLeafOf(path, bytes);
  }
  std::string writeDamaged() const {
    const std::string damaged = dir.file("damaged.db");
    testing_support::writeFile(damaged, bytes);
    return damaged;
  }
};

TEST(SalvageTableScanTest, ReadsEveryRowByColumnNameWhateverTheSchemaOrder) {
  TempDir dir;
  const std::string path = dir.file("mmssms.db");
  {
    TestDatabase db(path);
    db.exec("CREATE TABLE Sms (Body TEXT, thread_id INTEGER, _id INTEGER PRIMARY KEY)");
    db.exec("INSERT INTO sms VALUES ('third', 7, 3), ('first', NULL, 1)");
    // The scan hands on bytes as the file has them: cutting at a NUL and
    // repairing UTF-8 are the reader's business.
    db.run("INSERT INTO sms VALUES (?, 8, 2)", {std::string("bad \xC3( and\0after", 15)});
  }
  OutcomeBuilder outcome;
  DatabaseCopy copy;
  ASSERT_TRUE(copy.Open(path, outcome));
  enum : std::size_t { kKey, kBody, kPerson, kThread };
  SalvageTableScan scan(copy, outcome, "sms", {"_id", "body", "person", "thread_id"}, {"_id"});
  std::vector<std::int64_t> ids;
  std::vector<std::string> bodies;
  std::vector<bool> threadIsNull;
  while (scan.Next()) {
    ids.push_back(scan.integer(kKey));
    bodies.emplace_back(scan.text(kBody).value_or("(null)"));
    threadIsNull.push_back(scan.isNull(kThread));
    EXPECT_TRUE(scan.isNull(kPerson)) << "a column the table lacks reads as NULL";
    EXPECT_FALSE(scan.text(kPerson).has_value());
    EXPECT_EQ(scan.integer(kPerson), 0);
  }
  EXPECT_EQ(ids, (std::vector<std::int64_t>{1, 2, 3})) << "rowid order";
  EXPECT_EQ(bodies, (std::vector<std::string>{"first", std::string("bad \xC3( and\0after", 15), "third"}));
  EXPECT_EQ(threadIsNull, (std::vector<bool>{true, false, false}));
  EXPECT_TRUE(outcome.outcome().complete()) << outcome.outcome().detail;
}

TEST(SalvageTableScanTest, MissingTablesViewsAndRequiredColumns) {
  TempDir dir;
  const std::string path = dir.file("contacts2.db");
  {
    TestDatabase db(path);
    db.exec("CREATE TABLE raw_contacts (_id INTEGER PRIMARY KEY, display_name TEXT); "
            "INSERT INTO raw_contacts VALUES (1, 'Fay Green'); "
            "CREATE VIEW contacts AS SELECT _id FROM raw_contacts");
  }
  OutcomeBuilder outcome;
  DatabaseCopy copy;
  ASSERT_TRUE(copy.Open(path, outcome));
  SalvageTableScan optional(copy, outcome, "threads", {"_id"}, {"_id"}, SalvageTableScan::kOptional);
  EXPECT_FALSE(optional.Next());
  EXPECT_TRUE(outcome.outcome().complete()) << "an optional table may be missing unnoticed";

  SalvageTableScan absent(copy, outcome, "data", {"_id"}, {"_id"});
  EXPECT_FALSE(absent.Next());
  SalvageTableScan view(copy, outcome, "contacts", {"_id"}, {"_id"});
  EXPECT_FALSE(view.Next()) << "a view is no phone's table";
  SalvageTableScan lacking(copy, outcome, "raw_contacts", {"_id", "contact_id"}, {"contact_id"});
  EXPECT_FALSE(lacking.Next());
  EXPECT_EQ(outcome.outcome().status, ReadStatus::kMissingTables);
  EXPECT_EQ(outcome.outcome().detail,
            "there is no table data; there is no table contacts; table raw_contacts has no column contact_id");
}

TEST(SalvageTableScanDamageTest, UnreadableRowsOfOneLeafAreSkippedAndTheOtherLeavesRead) {
  MessagesToDamage messages;
  const MiddleLeaf& leaf = messages.leaf;
  std::vector<std::uint8_t>& bytes = messages.bytes;
  ASSERT_GE(leaf.ids.size(), 2u);
  // Each record says its body is longer than the record: the page can be
  // walked, but no row on it can be read.
  for (std::size_t at : leaf.cells) {
    varint(bytes, at);
    varint(bytes, at);
    ASSERT_EQ(bytes.at(at), 3) << "header of two serial types: NULL for _id, then the body";
    bytes.at(at + 2) = 0x7F;
  }
  const std::string damaged = messages.writeDamaged();
  std::vector<std::int64_t> expected = idsFrom(1, leaf.ids.front() - 1);
  const std::vector<std::int64_t> after = idsFrom(leaf.ids.back() + 1, 300);
  expected.insert(expected.end(), after.begin(), after.end());

  OutcomeBuilder outcome;
  DatabaseCopy copy;
  ASSERT_TRUE(copy.Open(damaged, outcome));
  EXPECT_EQ(idsOf(copy, outcome, "messages"), expected);
  EXPECT_EQ(outcome.outcome().status, ReadStatus::kDamaged);
  EXPECT_NE(outcome.outcome().detail.find("table messages has rows that cannot be read"), std::string::npos)
      << outcome.outcome().detail;

  // Past the skip limit the scan gives up on the rest of the table.
  OutcomeBuilder limited;
  SalvageScanLimits fewSkips;
  fewSkips.maxSkippedRows = 1;
  EXPECT_EQ(idsOf(copy, limited, "messages", fewSkips), idsFrom(1, leaf.ids.front() - 1));
  EXPECT_NE(limited.outcome().detail.find("the rest was not read"), std::string::npos) << limited.outcome().detail;
}

// A leaf whose page header is unreadable cannot be stepped over: seeking
// the next rowid leads into the same page, so only the rows before it stay.
TEST(SalvageTableScanDamageTest, LeafWithABrokenHeaderEndsTheScanKeepingTheRowsBefore) {
  MessagesToDamage messages;
  const MiddleLeaf& leaf = messages.leaf;
  ASSERT_FALSE(leaf.ids.empty());
  messages.bytes.at(leaf.start) = 0x00;  // no page type
  const std::string damaged = messages.writeDamaged();

  OutcomeBuilder outcome;
  DatabaseCopy copy;
  ASSERT_TRUE(copy.Open(damaged, outcome));
  EXPECT_EQ(idsOf(copy, outcome, "messages"), idsFrom(1, leaf.ids.front() - 1));
  EXPECT_EQ(outcome.outcome().status, ReadStatus::kDamaged);
  EXPECT_NE(outcome.outcome().detail.find("table messages is damaged"), std::string::npos) << outcome.outcome().detail;
}

TEST(SalvageTableScanLimitTest, RowAndWorkLimitsStopWithTooLargeAndKeepTheRowsBefore) {
  TempDir dir;
  const std::string path = dir.file("messages.db");
  createMessages(path, 10000);

  OutcomeBuilder rows;
  DatabaseCopy copy;
  ASSERT_TRUE(copy.Open(path, rows));
  SalvageScanLimits fiftyRows;
  fiftyRows.maxRows = 50;
  EXPECT_EQ(idsOf(copy, rows, "messages", fiftyRows), idsFrom(1, 50));
  EXPECT_EQ(rows.outcome().status, ReadStatus::kTooLarge);
  EXPECT_NE(rows.outcome().detail.find("too many rows"), std::string::npos) << rows.outcome().detail;

  OutcomeBuilder work;
  DatabaseCopy slow(2 * DatabaseCopy::kStepsPerProgressReport);
  ASSERT_TRUE(slow.Open(path, work));
  const std::vector<std::int64_t> ids = idsOf(slow, work, "messages");
  ASSERT_FALSE(ids.empty());
  EXPECT_LT(ids.size(), 10000u);
  EXPECT_EQ(ids, idsFrom(1, static_cast<std::int64_t>(ids.size())));
  EXPECT_EQ(work.outcome().status, ReadStatus::kTooLarge);
  EXPECT_NE(work.outcome().detail.find("took too long"), std::string::npos) << work.outcome().detail;
  // Once the work is spent, later scans of the copy read nothing.
  const std::string detail = work.outcome().detail;
  EXPECT_TRUE(idsOf(slow, work, "messages").empty());
  EXPECT_EQ(work.outcome().detail, detail);
}

}  // namespace
}  // namespace phone
