// Validation of carved UTF-8 before it becomes narrow text.

#include <gtest/gtest.h>

#include "platform/TextEncoding.h"

TEST(TextEncoding, AcceptsWellFormedUtf8) {
  EXPECT_TRUE(platform::isValidUtf8(""));
  EXPECT_TRUE(platform::isValidUtf8("plain ascii"));
  EXPECT_TRUE(platform::isValidUtf8("Jos\xC3\xA9 \xE7\x8E\x8B \xF0\x9F\x98\x80"));
  EXPECT_TRUE(platform::isValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF
}

TEST(TextEncoding, RejectsMalformedUtf8) {
  EXPECT_FALSE(platform::isValidUtf8("\x80"));              // lone continuation
  EXPECT_FALSE(platform::isValidUtf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(platform::isValidUtf8("\xE0\x80\xAF"));      // overlong
  EXPECT_FALSE(platform::isValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(platform::isValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
  EXPECT_FALSE(platform::isValidUtf8("\xE7\x8E"));          // truncated
  EXPECT_FALSE(platform::isValidUtf8("ab\xFF"));
}

// On Windows too, whatever the ANSI code page: the test programs carry no
// UTF-8 manifest, so under Wine this is the path of a system that ignores it.
TEST(TextEncoding, NarrowTextIsUtf8OnEverySystem) {
  EXPECT_EQ(platform::narrowFromUtf8("Jos\xC3\xA9 \xE6\x94\xB6\xE5\x88\xB0 \xF0\x9F\x98\x80"),
            "Jos\xC3\xA9 \xE6\x94\xB6\xE5\x88\xB0 \xF0\x9F\x98\x80");
  EXPECT_EQ(platform::narrowFromUtf8("Jos\xC3"), "");
  EXPECT_EQ(platform::utf8FromNarrow("\xE6\x94\xB6\xE5\x88\xB0"), "\xE6\x94\xB6\xE5\x88\xB0");
  EXPECT_EQ(platform::utf16FromNarrow(platform::narrowFromUtf8("\xE6\x94\xB6\xE5\x88\xB0 \xF0\x9F\x98\x80")),
            u"\u6536\u5230 \U0001F600");
}
