// The deep pass's readers of bytes: table shapes from CREATE TABLE texts,
// cells under a freeblock header in every layout of the lost bytes, and the
// runs of a rollback journal.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "deep/CellCarver.h"
#include "deep/RollbackJournal.h"
#include "deep/TableShape.h"
#include "engine/DbFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"
#include "tools/ProviderSchemas.h"

using namespace deep;

namespace {

std::string createStatement(const char* schema, const std::string& table) {
  const std::string text = schema;
  const std::size_t at = text.find("CREATE TABLE " + table + " (");
  return text.substr(at, text.find(";\n", at) - at);
}

TableShape smallSmsShape() {
  return *parseCreateTable(
      "CREATE TABLE sms (_id INTEGER PRIMARY KEY, thread_id INTEGER, address TEXT, date INTEGER NOT NULL, body TEXT, "
      "seen INTEGER DEFAULT 0)");
}

void putVarint(std::vector<std::uint8_t>& out, std::uint64_t value) {
  std::uint8_t groups[9];
  int count = 0;
  do {
    groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0 && count < 8);
  for (int k = count - 1; k >= 0; --k) out.push_back(static_cast<std::uint8_t>(groups[k] | (k > 0 ? 0x80 : 0)));
}

// A leaf cell of smallSmsShape: payload length, rowid, record.
std::vector<std::uint8_t> smsCell(std::uint64_t rowid, const std::string& address, const std::string& body) {
  std::vector<std::uint8_t> types;
  types.push_back(0);  // _id: the rowid
  types.push_back(1);  // thread_id: one byte
  putVarint(types, 13 + 2 * address.size());
  types.push_back(4);  // date: four bytes
  putVarint(types, 13 + 2 * body.size());
  types.push_back(8);  // seen: 0
  std::vector<std::uint8_t> record;
  putVarint(record, types.size() + 1);
  record.insert(record.end(), types.begin(), types.end());
  record.push_back(7);
  record.insert(record.end(), address.begin(), address.end());
  for (const int byte : {0x5F, 0x10, 0x20, 0x30}) record.push_back(static_cast<std::uint8_t>(byte));
  record.insert(record.end(), body.begin(), body.end());
  std::vector<std::uint8_t> cell;
  putVarint(cell, record.size());
  putVarint(cell, rowid);
  cell.insert(cell.end(), record.begin(), record.end());
  return cell;
}

// Frees a cell as SQLite does: its first 4 bytes become a freeblock header.
void freeAt(std::vector<std::uint8_t>& page, std::size_t at, std::size_t size, std::size_t next) {
  page[at] = static_cast<std::uint8_t>(next >> 8);
  page[at + 1] = static_cast<std::uint8_t>(next);
  page[at + 2] = static_cast<std::uint8_t>(size >> 8);
  page[at + 3] = static_cast<std::uint8_t>(size);
}

}  // namespace

TEST(TableShape, ReadsTheProvidersTables) {
  const auto sms = parseCreateTable(createStatement(phone_schema::kMessagesSchema, "sms"));
  ASSERT_TRUE(sms);
  EXPECT_EQ(sms->columnCount(), 19);
  EXPECT_EQ(sms->columnIndex("address"), 2);
  EXPECT_EQ(sms->columnIndex("body"), 12);
  EXPECT_TRUE(sms->fits(0, 0));    // _id is the rowid: stored as NULL
  EXPECT_FALSE(sms->fits(0, 1));
  EXPECT_TRUE(sms->fits(2, 13 + 2 * 12));
  EXPECT_FALSE(sms->fits(2, 3));   // text affinity never stores a number
  EXPECT_FALSE(sms->fits(4, 25));  // nor numeric affinity a text

  const auto data = parseCreateTable(createStatement(phone_schema::kContactsSchema, "data"));
  ASSERT_TRUE(data);
  EXPECT_EQ(data->columnCount(), 31);
  EXPECT_EQ(data->columnIndex("raw_contact_id"), 3);
  EXPECT_EQ(data->columnIndex("data1"), 9);
  EXPECT_FALSE(data->fits(2, 0));  // mimetype_id NOT NULL
  EXPECT_TRUE(data->fits(23, 200));  // data15 TEXT holds photo blobs

  EXPECT_FALSE(parseCreateTable("CREATE VIRTUAL TABLE words USING FTS3 (_id INTEGER PRIMARY KEY, index_text TEXT)"));
  EXPECT_FALSE(parseCreateTable("CREATE TABLE t (a INTEGER PRIMARY KEY, b TEXT) WITHOUT ROWID"));
  const auto odd = parseCreateTable(
      "CREATE TABLE \"x y\" ([first col] VARCHAR(10) NOT NULL, `n,2` INTEGER DEFAULT (1+2), c, "
      "CONSTRAINT pk PRIMARY KEY (c), UNIQUE (`n,2`))");
  ASSERT_TRUE(odd);
  ASSERT_EQ(odd->columnCount(), 3);
  EXPECT_EQ(odd->columns[0], "first col");
  EXPECT_EQ(odd->columns[1], "n,2");
  EXPECT_FALSE(odd->fits(0, 0));
  EXPECT_TRUE(odd->fits(2, 7));
}

// The cell of a deleted row comes back whole whatever its payload-length
// and rowid took (1 to 3 and 1 to 9 bytes): a table past rowid 16,383 with
// bodies over 127 bytes is the case the session misreads.
TEST(CellCarver, FirstCellOfAFreeblockInEveryLayoutOfTheLostBytes) {
  const CellCarver carver(RecordLayout::of(smallSmsShape(), {2, 4}), 4096);
  for (const std::uint64_t rowid : {5ull, 300ull, 20000ull, 3000000ull, 1ull << 40}) {
    for (const std::size_t bodyLength : {3u, 100u, 300u, 2000u}) {
      const std::string body(bodyLength, 'b');
      std::vector<std::uint8_t> page(4096, 0);
      const auto cell = smsCell(rowid, "+15550100", body);
      std::copy(cell.begin(), cell.end(), page.begin() + 1000);
      freeAt(page, 1000, cell.size(), 0);
      std::vector<CarvedRow> rows;
      carver.carveFreeblock(ByteView(page.data(), page.size()), 1000, cell.size(), rows);
      ASSERT_EQ(rows.size(), 1u) << "rowid " << rowid << ", body " << bodyLength;
      EXPECT_EQ(rows[0].values[0].bytes, "+15550100");
      EXPECT_EQ(rows[0].values[1].bytes, body);
      EXPECT_FALSE(rows[0].hasRowid);  // its bytes went under the header
    }
  }
}

// Neighbours freed one after the other merge into one freeblock; the later
// one keeps its own stale header. A block SQLite gave back to the unassigned
// area keeps its header too.
TEST(CellCarver, CellsUnderStaleHeadersInMergedBlocksAndInTheUnassignedArea) {
  const CellCarver carver(RecordLayout::of(smallSmsShape(), {2, 4}), 4096);
  std::vector<std::uint8_t> page(4096, 0);
  const auto first = smsCell(17000, "+15550101", std::string(150, 'x'));
  const auto second = smsCell(17001, "+15550102", "second body");
  const auto third = smsCell(40, "+15550103", "whole cell");
  std::size_t at = 2000;
  for (const auto* cell : {&first, &second, &third}) {
    std::copy(cell->begin(), cell->end(), page.begin() + static_cast<std::ptrdiff_t>(at));
    at += cell->size();
  }
  freeAt(page, 2000 + first.size(), second.size(), 0);
  freeAt(page, 2000, at - 2000, 0);  // one block over all three
  std::vector<CarvedRow> rows;
  carver.carveFreeblock(ByteView(page.data(), page.size()), 2000, at - 2000, rows);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].values[0].bytes, "+15550101");
  EXPECT_EQ(rows[1].values[1].bytes, "second body");
  EXPECT_EQ(rows[2].values[1].bytes, "whole cell");
  EXPECT_TRUE(rows[2].hasRowid);
  EXPECT_EQ(rows[2].rowid, 40);

  rows.clear();
  carver.carveRegion(ByteView(page.data(), page.size()), 1900, at, rows);
  EXPECT_EQ(rows.size(), 3u);
}

TEST(CellCarver, TextAndZerosYieldNothing) {
  const CellCarver carver(RecordLayout::of(smallSmsShape(), {2, 4}), 4096);
  std::vector<std::uint8_t> page(4096, 0);
  const std::string prose = "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor. ";
  for (std::size_t at = 0; at + prose.size() < 2048; at += prose.size()) std::memcpy(&page[at], prose.data(), prose.size());
  std::vector<CarvedRow> rows;
  carver.carveRegion(ByteView(page.data(), page.size()), 0, page.size(), rows);
  carver.carveFreeblock(ByteView(page.data(), page.size()), 100, 400, rows);
  EXPECT_TRUE(rows.empty());
}

TEST(CellCarver, WholeCellsAreCheckedAgainstTheirPayloadLength) {
  const CellCarver carver(RecordLayout::of(smallSmsShape(), {2, 4}), 4096);
  auto cell = smsCell(9, "+15550109", "fits");
  CarvedRow row;
  std::size_t end = 0;
  EXPECT_TRUE(carver.cellAt(ByteView(cell.data(), cell.size()), 0, cell.size(), row, end));
  EXPECT_EQ(end, cell.size());
  EXPECT_FALSE(carver.cellAt(ByteView(cell.data(), cell.size()), 0, cell.size() - 1, row, end));  // cut short
  cell[0] = static_cast<std::uint8_t>(cell[0] + 1);  // payload length one too many
  cell.push_back(0);
  EXPECT_FALSE(carver.cellAt(ByteView(cell.data(), cell.size()), 0, cell.size(), row, end));
}

namespace {

// A journal record: page number, image, checksum with the nonce.
void appendRecord(std::vector<std::uint8_t>& journal, std::uint32_t page, std::uint8_t fill, std::uint32_t nonce) {
  constexpr std::size_t kPage = 1024;
  const std::size_t at = journal.size();
  journal.resize(at + 4);
  testing_support::putU32(journal, at, page);
  std::vector<std::uint8_t> image(kPage, fill);
  std::uint32_t sum = nonce;
  for (std::size_t k = kPage - 200; k > 0; k = k >= 200 ? k - 200 : 0) sum += image[k];
  journal.insert(journal.end(), image.begin(), image.end());
  journal.resize(journal.size() + 4);
  testing_support::putU32(journal, journal.size() - 4, sum);
}

JournalIndex readJournal(const std::vector<std::uint8_t>& bytes) {
  testing_support::TempDir dir;
  testing_support::writeFile(dir.file("x-journal"), bytes);
  engine::DbFile file;
  EXPECT_TRUE(file.open(dir.file("x-journal")));
  return readRollbackJournal(file, 1024);
}

}  // namespace

// A PERSIST journal after its last commit: the header zeroed, the last
// transaction's records first, an older, longer one's behind them at the
// same stride; each run's nonce ends it.
TEST(RollbackJournal, RunsAreToldApartByTheirNonce) {
  std::vector<std::uint8_t> bytes(512, 0);
  appendRecord(bytes, 7, 0x11, 0xAAAA0001);
  appendRecord(bytes, 9, 0x22, 0xAAAA0001);
  appendRecord(bytes, 3, 0x33, 0x5EED0002);
  appendRecord(bytes, 4, 0x44, 0x5EED0002);
  appendRecord(bytes, 5, 0x55, 0x5EED0002);
  bytes.resize(bytes.size() + 700, 0xEE);  // a torn tail
  JournalIndex index = readJournal(bytes);
  ASSERT_EQ(index.pages.size(), 5u);
  EXPECT_FALSE(index.hot);
  EXPECT_EQ(index.pages[0].pageNumber, 7u);
  EXPECT_EQ(index.pages[4].pageNumber, 5u);
  EXPECT_EQ(index.pages[4].pageOffset, 512 + 4 * (1024 + 8) + 4u);

  // With its header the first run is an unfinished transaction.
  static constexpr std::uint8_t kMagic[8] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};
  std::memcpy(bytes.data(), kMagic, sizeof kMagic);
  testing_support::putU32(bytes, 8, 2);
  testing_support::putU32(bytes, 12, 0xAAAA0001);
  testing_support::putU32(bytes, 16, 12);
  testing_support::putU32(bytes, 20, 512);
  testing_support::putU32(bytes, 24, 1024);
  index = readJournal(bytes);
  EXPECT_TRUE(index.hot);
  EXPECT_EQ(index.statePages, 12u);
  EXPECT_EQ(index.rollback.size(), 2u);
  EXPECT_EQ(index.pages.size(), 5u);
}
