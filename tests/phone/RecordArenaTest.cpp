// The record arena: records and texts keep their place and content until
// clear(), whatever else is allocated meanwhile, and the limit holds.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "phone/RecordArena.h"
#include "phone/RecordLayouts.h"

namespace phone {
namespace {

std::string textNumber(int i) { return std::string(static_cast<std::size_t>(i % 13), static_cast<char>('a' + i % 26)); }

TEST(RecordArenaTest, RecordsAndTextsKeepTheirPlaceAndContent) {
  RecordArena arena;
  std::vector<MessageRecord*> messages;
  std::vector<const char*> texts;
  // Many blocks' worth, mixing sizes and alignments, and a text too large
  // for a shared block in between.
  for (int i = 0; i < 5000; ++i) {
    auto* message = arena.NewRecord<MessageRecord>();
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(message) % alignof(MessageRecord), 0u);
    EXPECT_EQ(message->body, nullptr);
    EXPECT_EQ(message->threadKey, 0);
    message->messageKey = i;
    messages.push_back(message);
    texts.push_back(arena.CopyText(i == 2500 ? std::string(300 * 1024, 'L') : textNumber(i)));
  }
  for (int i = 0; i < 5000; ++i) {
    EXPECT_EQ(messages[static_cast<std::size_t>(i)]->messageKey, i);
    EXPECT_EQ(std::string(texts[static_cast<std::size_t>(i)]), i == 2500 ? std::string(300 * 1024, 'L') : textNumber(i));
  }
  // A copy holds every byte, NULs included, and a closing NUL.
  EXPECT_EQ(std::memcmp(arena.CopyText(std::string("a\0b", 3)), "a\0b\0", 4), 0);
}

TEST(RecordArenaTest, LimitRefusesRequestsAndClearStartsOver) {
  RecordArena arena(200 * 1024);
  EXPECT_NE(arena.CopyText(std::string(100 * 1024, 'x')), nullptr);
  EXPECT_FALSE(arena.full());
  EXPECT_EQ(arena.CopyText(std::string(150 * 1024, 'y')), nullptr);
  EXPECT_TRUE(arena.full());
  EXPECT_LE(arena.bytesHeld(), 200u * 1024u);
  EXPECT_NE(arena.NewRecord<DataRowRecord>(), nullptr) << "small requests still fit";

  arena.Clear();
  EXPECT_FALSE(arena.full());
  EXPECT_EQ(arena.bytesHeld(), 0u);
  EXPECT_NE(arena.CopyText(std::string(150 * 1024, 'y')), nullptr);

  RecordArena tiny(100);
  EXPECT_EQ(tiny.NewRecord<ContactRecord>(), nullptr);
  EXPECT_EQ(tiny.bytesHeld(), 0u);
}

}  // namespace
}  // namespace phone
