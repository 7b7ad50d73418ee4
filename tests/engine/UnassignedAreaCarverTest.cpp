// Carving deleted rows out of the unassigned area of a leaf page.

#include <gtest/gtest.h>

#include <vector>

#include "engine/ColumnWalk.h"
#include "engine/UnassignedAreaCarver.h"
#include "engine/WorkBuffer.h"

using namespace engine;

namespace {

using Row = std::vector<std::string>;

std::vector<Row> carve(const std::vector<std::uint8_t>& area, const CarveLayout& layout,
                       std::int64_t length = -1) {
  WorkBuffer buffer;
  buffer.assign(area.data(), area.size());
  std::vector<Row> rows;
  const std::int64_t areaLength = length < 0 ? static_cast<std::int64_t>(area.size()) : length;
  carveUnassignedArea(buffer, areaLength, layout, [&](const ColumnWalk& walk) {
    Row row;
    for (std::size_t k = 0; k < layout.requiredCount; ++k) row.push_back(walk.field(k));
    rows.push_back(row);
  });
  return rows;
}

bool candidateAtZero(const std::vector<std::uint8_t>& bytes, const CarveLayout& layout) {
  WorkBuffer buffer;
  buffer.assign(bytes.data(), bytes.size());
  return isCandidateRow(buffer, 0, layout);
}

const CarveLayout kContacts = CarveLayout::contacts(4, 1, 3);

}  // namespace

TEST(UnassignedAreaCarver, WorkedContactExample) {
  std::vector<std::uint8_t> area = {0x05, 0x0A, 0x03, 0x00, 0x01, 0x00, 0x17, 0x2A, 'A', 'l', 'i', 'c', 'e'};
  area.resize(20, 0x00);
  const auto rows = carve(area, kContacts);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], std::string("\x2A"));
  EXPECT_EQ(rows[0][1], "Alice");
}

TEST(UnassignedAreaCarver, EmptyAreaYieldsNothing) { EXPECT_TRUE(carve({}, kContacts).empty()); }

TEST(UnassignedAreaCarver, ContactCandidateNeedsNumericBytesThenText) {
  const CarveLayout layout = CarveLayout::contacts(12, 3, 8);
  const std::vector<std::uint8_t> prefix = {0x00, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x01};
  auto with = [&](std::uint8_t last) {
    std::vector<std::uint8_t> bytes = prefix;
    bytes.push_back(last);
    return bytes;
  };
  EXPECT_TRUE(candidateAtZero(with(0x17), layout));
  EXPECT_FALSE(candidateAtZero(with(0x16), layout));  // a blob
  EXPECT_FALSE(candidateAtZero(with(0x07), layout));  // a float
}

TEST(UnassignedAreaCarver, TextTestLooksAtOneByteOnly) {
  const CarveLayout layout = CarveLayout::contacts(2, 0, 1);
  EXPECT_TRUE(candidateAtZero({0x00, 0x81, 0x05}, layout));   // text of 60 bytes
  EXPECT_FALSE(candidateAtZero({0x00, 0x82, 0x0D}, layout));  // text of 128 bytes
}

TEST(UnassignedAreaCarver, ScanResumesAfterTheDecodedRecord) {
  // Two records back to back: the second is found right after the first,
  // and the bytes of the first are not tested again.
  std::vector<std::uint8_t> area = {0x00, 0x01, 0x00, 0x17, 0x2A, 'A', 'l', 'i', 'c', 'e',
                                    0x00, 0x01, 0x00, 0x13, 0x07, 'B', 'o', 'b'};
  area.resize(40, 0x00);
  const auto rows = carve(area, kContacts);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][1], "Alice");
  EXPECT_EQ(rows[1][1], "Bob");
}

TEST(UnassignedAreaCarver, RecordRunningPastTheAreaIsReportedWithZeros) {
  // The area ends inside the text: the missing bytes read as zero.
  const std::vector<std::uint8_t> area = {0x00, 0x01, 0x00, 0x17, 0x2A, 'A', 'l'};
  const auto rows = carve(area, kContacts);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][1], std::string("Al\0\0\0", 5));
}

namespace {

// An SMS row start as a phone writes it: _id NULL, thread_id, address text,
// person, date, date_sent, protocol, read, status, type, reply_path_present,
// subject NULL, body text.
std::vector<std::uint8_t> smsRowStart() {
  return {0x00, 0x01, 0x13, 0x00, 0x06, 0x06, 0x01, 0x01, 0x01, 0x01, 0x01, 0x00, 0x15};
}

}  // namespace

TEST(UnassignedAreaCarver, SmsCandidateAndRecord) {
  const CarveLayout layout = CarveLayout::sms(13, 2, 3, 12);
  std::vector<std::uint8_t> area = {0x33, 0x81};
  for (std::uint8_t b : smsRowStart()) area.push_back(b);
  // Body: thread 3, "555", two 8-byte dates, five 1-byte flags, "hiya".
  std::vector<std::uint8_t> body = {0x03, '5', '5', '5'};
  body.resize(body.size() + 16 + 5, 0x01);
  for (char c : std::string("hiya")) body.push_back(static_cast<std::uint8_t>(c));
  for (std::uint8_t b : body) area.push_back(b);
  area.resize(80, 0x00);
  const auto rows = carve(area, layout);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], "555");
  EXPECT_EQ(rows[0][1], "");
  EXPECT_EQ(rows[0][2], "hiya");
}

TEST(UnassignedAreaCarver, SmsCandidateCloseToTheEndIsNeverTested) {
  const CarveLayout layout = CarveLayout::sms(13, 2, 3, 12);
  std::vector<std::uint8_t> area = smsRowStart();
  area.resize(200, 0x01);
  // The same bytes carve when the area is long enough, and not when the
  // candidate's start is 11 bytes from the area's end.
  EXPECT_EQ(carve(area, layout).size(), 1u);
  EXPECT_TRUE(carve(area, layout, 11).empty());
}

TEST(UnassignedAreaCarver, SmsTestUsesTheBodyPositionFromTheSchema) {
  std::vector<std::uint8_t> bytes = smsRowStart();
  EXPECT_TRUE(candidateAtZero(bytes, CarveLayout::sms(13, 2, 3, 12)));
  // With the body at 11 the byte there is 0x00: not text.
  EXPECT_FALSE(candidateAtZero(bytes, CarveLayout::sms(13, 2, 3, 11)));
  bytes[2] = 0x12;  // the address must be text
  EXPECT_FALSE(candidateAtZero(bytes, CarveLayout::sms(13, 2, 3, 12)));
}

TEST(UnassignedAreaCarver, WideTablesOnLargePagesStayBounded) {
  // Every position a candidate, every walk cut short: must finish.
  std::vector<std::uint8_t> area(65528, 0x00);
  for (std::size_t k = 1; k < area.size(); k += 2) area[k] = 0x0D;
  EXPECT_NO_THROW(carve(area, CarveLayout::contacts(2000, 0, 1)));
}
