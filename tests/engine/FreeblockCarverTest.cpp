// Carving deleted rows out of freeblocks, byte by byte.

#include <gtest/gtest.h>

#include <vector>

#include "engine/ColumnWalk.h"
#include "engine/FreeblockCarver.h"
#include "engine/WorkBuffer.h"

using namespace engine;

namespace {

void append(std::vector<std::uint8_t>& bytes, std::initializer_list<int> more) {
  for (int b : more) bytes.push_back(static_cast<std::uint8_t>(b));
}

using Row = std::vector<std::string>;

std::vector<Row> carve(const std::vector<std::uint8_t>& content, const CarveLayout& layout) {
  WorkBuffer buffer;
  buffer.assign(content.data(), content.size());
  std::vector<Row> rows;
  carveFreeblock(buffer, static_cast<std::int64_t>(content.size()), layout, [&](const ColumnWalk& walk) {
    Row row;
    for (std::size_t k = 0; k < layout.requiredCount; ++k) row.push_back(walk.field(k));
    rows.push_back(row);
  });
  return rows;
}

const CarveLayout kContacts = CarveLayout::contacts(4, 1, 3);

std::vector<std::uint8_t> aliceRecord() { return {0x00, 0x01, 0x00, 0x17, 0x2A, 'A', 'l', 'i', 'c', 'e'}; }

}  // namespace

TEST(FreeblockContent, StartsAtSerialTypeOrAfterHeaderLength) {
  EXPECT_EQ(freeblockContent(16, 0x00).start, 4u);
  EXPECT_EQ(freeblockContent(16, 0x00).length, 12);
  EXPECT_EQ(freeblockContent(16, 0x06).start, 4u);
  EXPECT_EQ(freeblockContent(40, 0x1C).start, 5u);
  EXPECT_EQ(freeblockContent(40, 0x1C).length, 35);
  EXPECT_EQ(freeblockContent(5, 0x1C).length, 0);
  EXPECT_LT(freeblockContent(2, 0x00).length, 0);
}

TEST(FreeblockCarver, WorkedContactExample) {
  std::vector<std::uint8_t> content = aliceRecord();
  content.push_back(0x00);
  content.push_back(0x00);
  const auto rows = carve(content, kContacts);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], std::string("\x2A"));
  EXPECT_EQ(rows[0][1], "Alice");
}

TEST(FreeblockCarver, RecordEndingExactlyAtTheEndIsKept) {
  EXPECT_EQ(carve(aliceRecord(), kContacts).size(), 1u);
  std::vector<std::uint8_t> shorter = aliceRecord();
  shorter.pop_back();
  EXPECT_TRUE(carve(shorter, kContacts).empty());
}

TEST(FreeblockCarver, MergedNeighboursYieldTwoRecordsInFileOrder) {
  std::vector<std::uint8_t> content = aliceRecord();
  // Next cell: payload length, 2-byte rowid... 4 bytes presumed, then the
  // header length byte (>= M for contacts, so skipped), then the record.
  append(content, {0x10, 0x81, 0x05, 0x00, 0x05});
  append(content, {0x00, 0x01, 0x00, 0x13, 0x07, 'B', 'o', 'b'});
  const auto rows = carve(content, kContacts);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][1], "Alice");
  EXPECT_EQ(rows[1][0], std::string("\x07"));
  EXPECT_EQ(rows[1][1], "Bob");
}

TEST(FreeblockCarver, HeaderLengthTestDiffersBetweenContactsAndSms) {
  // A byte equal to M at the presumed header position: skipped for
  // contacts, read as the first serial type for SMS.
  std::vector<std::uint8_t> content = {0x00, 0x01, 0x00, 0x17, 0x2A, 'A', 'l', 'i', 'c', 'e'};
  append(content, {0x10, 0x81, 0x05, 0x00, 0x04});
  append(content, {0x00, 0x01, 0x00, 0x13, 0x07, 'B', 'o', 'b'});
  const auto contacts = carve(content, kContacts);
  ASSERT_EQ(contacts.size(), 2u);
  EXPECT_EQ(contacts[1][1], "Bob");

  // SMS with M = 4: address 0, person 1, body 3 reads the 0x04 as a serial
  // type (int of 4 bytes), so the second record is read shifted by one.
  const CarveLayout sms = CarveLayout::sms(4, 0, 1, 3);
  const auto messages = carve(content, sms);
  ASSERT_GE(messages.size(), 1u);
  EXPECT_EQ(messages[0][2], "Alice");
  if (messages.size() > 1) {
    EXPECT_NE(messages[1][2], "Bob");
  }
}

TEST(FreeblockCarver, SmsBodyHasExactlyItsWidth) {
  // address text(3), person NULL, body text(2), then a trailing int column.
  const std::vector<std::uint8_t> content = {0x13, 0x00, 0x11, 0x01, '5', '5', '5', 'h', 'i', 0x09};
  const auto rows = carve(content, CarveLayout::sms(4, 0, 1, 2));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], "555");
  EXPECT_EQ(rows[0][1], "");
  EXPECT_EQ(rows[0][2], "hi");
}

TEST(FreeblockCarver, RecordNeedingMoreBytesThanTheFreeblockYieldsNothing) {
  // A text of 60 bytes claimed, 4 present: as when the payload went on to an
  // overflow page.
  const std::vector<std::uint8_t> content = {0x00, 0x01, 0x00, 0x81, 0x05, 0x2A, 'A', 'l', 'i'};
  EXPECT_TRUE(carve(content, kContacts).empty());
}

TEST(FreeblockCarver, StopsWhenAColumnReachesTheEndBeforeTheLast) {
  // Only two serial types fit: the walk ends before the fourth column.
  EXPECT_TRUE(carve({0x00, 0x01}, kContacts).empty());
  EXPECT_TRUE(carve({}, kContacts).empty());
}

TEST(FreeblockCarver, HugeSerialTypesDoNotOverflow) {
  std::vector<std::uint8_t> content(200, 0xFF);
  EXPECT_TRUE(carve(content, CarveLayout::contacts(40, 3, 39)).empty());
}
