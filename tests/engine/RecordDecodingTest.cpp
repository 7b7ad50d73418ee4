// Varints, serial types and the column walk that both carvers share.

#include <gtest/gtest.h>

#include <vector>

#include "engine/BtreePage.h"
#include "engine/ColumnWalk.h"
#include "engine/SerialType.h"
#include "engine/Varint.h"
#include "engine/WorkBuffer.h"

using namespace engine;

namespace {

WorkBuffer bufferOf(const std::vector<std::uint8_t>& bytes) {
  WorkBuffer buffer;
  buffer.assign(bytes.data(), bytes.size());
  return buffer;
}

Varint varintOf(const std::vector<std::uint8_t>& bytes) { return decodeVarint(bufferOf(bytes), 0); }

}  // namespace

TEST(Varint, DecodesOneToNineBytes) {
  EXPECT_EQ(varintOf({0x7F}).value, 127u);
  EXPECT_EQ(varintOf({0x7F}).length, 1u);
  EXPECT_EQ(varintOf({0x81, 0x00}).value, 128u);
  EXPECT_EQ(varintOf({0x81, 0x00}).length, 2u);
  EXPECT_EQ(varintOf({0x81, 0x80, 0x00}).value, 16384u);
  EXPECT_EQ(varintOf({0x81, 0x80, 0x00}).length, 3u);
  // 2^32 - 1 fits; 2^32 does not and saturates.
  EXPECT_EQ(varintOf({0x8F, 0xFF, 0xFF, 0xFF, 0x7F}).value, 0xFFFFFFFFu);
  EXPECT_EQ(varintOf({0x90, 0x80, 0x80, 0x80, 0x00}).value, 0xFFFFFFFFu);
  EXPECT_EQ(varintOf({0x90, 0x80, 0x80, 0x80, 0x00}).length, 5u);
}

TEST(Varint, NineBytesOfOnesSaturate) {
  const Varint v = varintOf(std::vector<std::uint8_t>(9, 0xFF));
  EXPECT_EQ(v.value, 0xFFFFFFFFu);
  EXPECT_EQ(v.length, 9u);
}

TEST(Varint, ReadsZeroPastTheBufferEnd) {
  WorkBuffer buffer;
  std::vector<std::uint8_t> full(WorkBuffer::kCapacity, 0x80);
  buffer.assign(full.data(), full.size());
  // The last byte continues, the bytes after the buffer read as zero.
  const Varint v = decodeVarint(buffer, WorkBuffer::kCapacity - 1);
  EXPECT_EQ(v.length, 2u);
  EXPECT_EQ(v.value, 0u);
  EXPECT_EQ(decodeVarint(buffer, 1u << 30).length, 1u);
}

TEST(SerialType, Widths) {
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> widths = {
      {0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 6}, {6, 8}, {7, 8}, {8, 0}, {9, 0}, {10, 0}, {11, 0},
      {12, 0}, {13, 0}, {14, 1}, {15, 1}, {23, 5}, {133, 60}, {0xFFFFFFFFu, 2147483641u}};
  for (const auto& [type, width] : widths) EXPECT_EQ(calculateDataWidth(type), width) << type;
}

TEST(SerialType, Classes) {
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> classes = {
      {0, 0}, {1, 1}, {2, 1}, {5, 1}, {6, 6}, {7, 3}, {8, 8}, {11, 11}, {12, 12},
      {13, 4}, {14, 2}, {15, 4}, {268, 2}, {269, 4}};
  for (const auto& [type, code] : classes) EXPECT_EQ(checkDataType(type), code) << type;
  EXPECT_TRUE(isTextByte(0x81));
  EXPECT_FALSE(isTextByte(0x82));
  EXPECT_TRUE(isNumericByte(7));
  EXPECT_FALSE(isNumericByte(8));
}

TEST(ColumnWalk, LocatesWantedFieldsAfterTheHeader) {
  // Serial types NULL, int8, NULL, text(5); body 0x2A "Alice".
  const WorkBuffer buffer = bufferOf({0x00, 0x01, 0x00, 0x17, 0x2A, 'A', 'l', 'i', 'c', 'e'});
  const int wanted[] = {1, 3};
  ColumnWalk walk(buffer, 0, wanted, 2);
  for (int column = 0; column < 4; ++column) walk.decodeColumn();
  EXPECT_EQ(walk.total(), 10u);
  EXPECT_EQ(walk.field(0), std::string("\x2A"));
  EXPECT_EQ(walk.field(1), "Alice");
}

TEST(ColumnWalk, WantedColumnZeroHasOffsetZero) {
  const WorkBuffer buffer = bufferOf({0x13, 0x01, 'a', 'b', 'c', 7});
  const int wanted[] = {0, 1};
  ColumnWalk walk(buffer, 0, wanted, 2);
  walk.decodeColumn();
  walk.decodeColumn();
  EXPECT_EQ(walk.field(0), "abc");
  EXPECT_EQ(walk.field(1), std::string("\x07"));
}

TEST(ColumnWalk, FieldIsCutAtTheBufferEnd) {
  // A text serial type that claims far more bytes than the buffer holds.
  const WorkBuffer buffer = bufferOf({0x8F, 0xFF, 0xFF, 0xFF, 0x7F});
  const int wanted[] = {0};
  ColumnWalk walk(buffer, 0, wanted, 1);
  walk.decodeColumn();
  EXPECT_EQ(walk.field(0).size(), WorkBuffer::kCapacity - 5);
}

TEST(PageHeader, PageSizeField) {
  EXPECT_EQ(decodePageSize(0x1000), 4096);
  EXPECT_EQ(decodePageSize(0x0400), 1024);
  EXPECT_EQ(decodePageSize(1), 65536);
  EXPECT_TRUE(isSupportedPageSize(512));
  EXPECT_TRUE(isSupportedPageSize(65536));
  EXPECT_FALSE(isSupportedPageSize(0));
  EXPECT_FALSE(isSupportedPageSize(256));
  EXPECT_FALSE(isSupportedPageSize(3000));
  EXPECT_FALSE(isSupportedPageSize(32768 + 512));
}

TEST(PageHeader, UnassignedArea) {
  EXPECT_EQ(unassignedArea(3, 4000, 4096).start, 14u);
  EXPECT_EQ(unassignedArea(3, 4000, 4096).length, 3986);
  EXPECT_EQ(unassignedArea(0, 8, 4096).length, 0);
  EXPECT_LT(unassignedArea(10, 8, 4096).length, 0);
  // Content start 0 means 65,536 only on the largest pages.
  EXPECT_EQ(unassignedArea(0, 0, 65536).length, 65528);
  EXPECT_LT(unassignedArea(0, 0, 4096).length, 0);
}
