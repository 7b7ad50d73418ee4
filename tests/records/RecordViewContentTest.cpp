// What the contact card and the conversation view show of a record, and
// the card's line-breaking rule, measured with fixed character widths.

#include <gtest/gtest.h>

#include <string>

#include "records/ContactCardContent.h"
#include "records/ConversationContent.h"
#include "records/LineBreaking.h"
#include "tests/records/ExportTestSupport.h"

namespace {

using records::BreakLines;
using records::TextLine;
using records_testing::RecordBuilder;
using records_testing::u16;

constexpr std::int32_t kPhone = 1;
constexpr std::int32_t kEmail = 2;
constexpr std::int32_t kOrganization = 3;
constexpr std::int32_t kName = 4;

// ---- the contact card's texts

TEST(ContactCardContent, LiveContactRowsInDataOrderWithTheirLabels) {
  RecordBuilder build;
  const auto& contact = build.contact(7, "Zoë Adams");
  build.contact(8, "Other");
  build.dataRow(7, kName, "Zoë Adams", nullptr);
  build.dataRow(7, kPhone, "555-0101", "2");
  build.dataRow(8, kPhone, "555-0199", "2");  // another contact's
  build.dataRow(7, kEmail, "zoe@example.com", "1");
  build.dataRow(7, kEmail, "z@example.org", "0");  // no label of its own
  build.dataRow(7, kPhone, "555-0102", "9");       // car: no label in the export's table
  build.dataRow(7, 99, "unknown mimetype", "2");

  const auto card = records::ContactCardOf(contact, build.records.dataRows, build.records.mimeTypes);

  EXPECT_EQ(card.name, u16("Zoë Adams"));
  ASSERT_EQ(card.rows.size(), 4u);
  EXPECT_EQ(card.rows[0].label, u"Mobile");
  EXPECT_EQ(card.rows[0].value, u"555-0101");
  EXPECT_EQ(card.rows[1].label, u"Home Email");
  EXPECT_EQ(card.rows[2].label, u"Email");
  EXPECT_EQ(card.rows[3].label, u"Car") << "named as Android names it";
  EXPECT_EQ(card.rows[3].value, u"555-0102");
}

TEST(ContactCardContent, NameOnlyFromAStructuredNameAndOrganisationLines) {
  RecordBuilder build;
  const auto& contact = build.contact(3, "555-0100", /*source=*/20);
  build.dataRow(3, kOrganization, "Lumen Labs", nullptr);
  auto* organization = const_cast<phone::DataRowRecord*>(build.records.dataRows);
  organization->title = "CTO";
  organization->department = "Research";
  build.dataRow(3, kOrganization, "Second Company", nullptr);

  const auto card = records::ContactCardOf(contact, build.records.dataRows, build.records.mimeTypes);

  EXPECT_EQ(card.name, u"No Name");
  EXPECT_EQ(card.organization[0], u"Lumen Labs") << "the first company stays";
  EXPECT_EQ(card.organization[1], u"CTO");
  EXPECT_EQ(card.organization[2], u"") << "the department only stands in for a missing title";
  EXPECT_TRUE(card.rows.empty());
}

TEST(ContactCardContent, DeletedContactShowsAllItsValuesAndWhereItWasFound) {
  RecordBuilder build;
  const auto& nadia = build.deletedContact("Nadia Kowalski", RecordBuilder::kWal | RecordBuilder::kFreeSpace);
  build.deletedValue(nadia.contactKey, kOrganization, "Kowalski Bakery", nullptr).title = "Owner";
  build.deletedValue(nadia.contactKey, kPhone, "(212) 555-0137", "12");
  build.deletedValue(nadia.contactKey, kPhone, "555-0140", "0").label = "Bakery line";
  build.deletedValue(nadia.contactKey, kEmail, "nadia.k@example.net", "2");
  build.deletedValue(build.deletedContact("Other").contactKey, kPhone, "555-0199", "2");

  const auto card = records::ContactCardOf(nadia, build.records.recoveredDataRows, build.records.mimeTypes);
  EXPECT_EQ(card.name, u"Nadia Kowalski");
  EXPECT_EQ(card.organization[0], u"Kowalski Bakery");
  EXPECT_EQ(card.organization[1], u"Owner");
  ASSERT_EQ(card.rows.size(), 4u);
  EXPECT_EQ(card.rows[0].label, u"Main");
  EXPECT_EQ(card.rows[1].label, u"Bakery line") << "a custom type by its own label";
  EXPECT_EQ(card.rows[2].label, u"Work Email");
  EXPECT_EQ(card.rows[3].label, u"Deleted:");
  EXPECT_EQ(card.rows[3].value,
            u"found in the database's write-ahead log and in the free space of the database's pages");

  // Carving alone: the line's first field and a value of unknown kind.
  const auto& line = build.recoveredContact("陈静\t+86 138 0013 8000\twith a tab");
  const auto lineCard = records::ContactCardOf(line, build.records.recoveredDataRows, build.records.mimeTypes);
  EXPECT_EQ(lineCard.name, u16("陈静"));
  ASSERT_EQ(lineCard.rows.size(), 2u);
  EXPECT_EQ(lineCard.rows[0].label, u"Mobile:");
  EXPECT_EQ(lineCard.rows[0].value, u"+86 138 0013 8000\twith a tab");
}

TEST(ContactCardContent, APhoneValueOfAnyLengthIsKeptWhole) {
  RecordBuilder build;
  const auto& contact = build.contact(1, "Long");
  const std::string value(5000, '7');
  build.dataRow(1, kPhone, value, "2");
  const auto card = records::ContactCardOf(contact, build.records.dataRows, build.records.mimeTypes);
  ASSERT_EQ(card.rows.size(), 1u);
  EXPECT_EQ(card.rows[0].value.size(), 5000u);
}

// ---- the conversation view's texts

TEST(ConversationContent, MessagesOfTheThreadInListOrderWithTheirSide) {
  RecordBuilder build;
  const auto& conversation = build.conversation(5);
  build.message(5, "555", 0, phone::kDirectionReceived, "hello", "2019-04-01 10:00");
  build.message(6, "556", 0, phone::kDirectionReceived, "another thread");
  build.message(5, "555", 0, phone::kDirectionSent, "hi 😀");
  build.message(5, "555", 0, 5, "");  // no body, no bubble
  build.message(5, "555", 0, 4, "queued");

  const auto bubbles = records::ConversationBubblesOf(conversation, build.records.messages);

  ASSERT_EQ(bubbles.size(), 3u);
  EXPECT_EQ(bubbles[0].date, u"2019-04-01 10:00");
  EXPECT_EQ(bubbles[0].body, u"hello");
  EXPECT_EQ(bubbles[0].kind, records::kBubbleReceived);
  EXPECT_EQ(bubbles[1].body, u16("hi 😀"));
  EXPECT_EQ(bubbles[1].kind, records::kBubbleOther);
  EXPECT_EQ(bubbles[2].kind, records::kBubbleOther);
}

TEST(ConversationContent, DeletedMessagesAreMarkedBubblesOnTheirSide) {
  RecordBuilder build;
  const auto& conversation = build.conversation(5);
  build.message(5, "555", 0, phone::kDirectionSent, "live", "2019-04-01 10:00");
  build.deletedMessage(5, "555", phone::kDirectionReceived, "deleted", "2019-04-01 10:05", RecordBuilder::kWal);
  build.deletedMessage(5, "555", 0, "no date, no side", "");

  const auto bubbles = records::ConversationBubblesOf(conversation, build.records.messages);
  ASSERT_EQ(bubbles.size(), 3u);
  EXPECT_FALSE(bubbles[0].deleted);
  EXPECT_TRUE(bubbles[1].deleted);
  EXPECT_EQ(bubbles[1].kind, records::kBubbleReceived);
  EXPECT_EQ(bubbles[1].date, u"2019-04-01 10:05 \u00B7 deleted");
  EXPECT_EQ(bubbles[1].note, u"found in the database's write-ahead log");
  EXPECT_EQ(bubbles[2].date, u"Deleted, no date");
  EXPECT_EQ(bubbles[2].kind, records::kBubbleOther);
}

// ---- the line-breaking rule, every character 10 pixels wide

records::PrefixWidths tenPixelsEach() {
  return [](std::u16string_view text, std::vector<int>& widths) {
    for (std::size_t i = 0; i < text.size(); ++i) widths[i] = static_cast<int>(i + 1) * 10;
  };
}

std::vector<std::u16string> linesOf(std::u16string_view text, int available) {
  std::vector<std::u16string> out;
  for (const TextLine& line : BreakLines(text, available, tenPixelsEach())) {
    out.emplace_back(text.substr(line.start, line.length));
  }
  return out;
}

using Lines = std::vector<std::u16string>;

TEST(LineBreaking, WidthEndsALineExactlyAtOrBeforeTheAvailableWidth) {
  EXPECT_EQ(linesOf(u"abcdefg", 30), (Lines{u"abc", u"def", u"g"})) << "a width equal to the limit stays";
  EXPECT_EQ(linesOf(u"abcdefg", 35), (Lines{u"abc", u"def", u"g"})) << "a width past the limit moves on";
  EXPECT_EQ(linesOf(u"abc", 5), (Lines{u"a", u"b", u"c"})) << "at least one character a line";
  EXPECT_TRUE(BreakLines(u"", 100, tenPixelsEach()).empty());
}

TEST(LineBreaking, LineBreaksEndLinesAndCrLfCountsTwice) {
  EXPECT_EQ(linesOf(u"ab\ncd", 100), (Lines{u"ab", u"cd"}));
  EXPECT_EQ(linesOf(u"ab\r\ncd", 100), (Lines{u"ab", u"", u"cd"}));
  EXPECT_EQ(linesOf(u"ab\n", 100), (Lines{u"ab"}));
  const auto lines = BreakLines(u"ab\ncd", 100, tenPixelsEach());
  EXPECT_TRUE(lines[0].endsWithBreak);
  EXPECT_FALSE(lines[1].endsWithBreak);
}

TEST(LineBreaking, SurrogatePairsStayTogether) {
  // "a😀b" with the emoji two units: the pair's width is read at its second unit.
  const std::u16string text = u"a\U0001F600b";
  EXPECT_EQ(linesOf(text, 20), (Lines{u"a", u"\U0001F600", u"b"}));
}

TEST(LineBreaking, AVeryLongValueIsCutIntoFullLinesWithNothingLost) {
  const std::u16string text(100000, u'9');
  std::size_t measured = 0;
  const auto counting = [&measured](std::u16string_view part, std::vector<int>& widths) {
    measured += part.size();
    for (std::size_t i = 0; i < part.size(); ++i) widths[i] = static_cast<int>(i + 1) * 10;
  };
  const auto lines = BreakLines(text, 130, counting);
  ASSERT_EQ(lines.size(), 100000u / 13 + 1);
  std::size_t total = 0;
  for (const TextLine& line : lines) total += line.length;
  EXPECT_EQ(total, text.size());
  EXPECT_LT(measured, text.size() * 300) << "each line measures a bounded window, not the whole rest";
}

TEST(LineBreaking, ZeroWidthCharactersGrowTheMeasuredWindow) {
  // 600 characters of width 0, then ordinary ones: the first line holds
  // them all, past the first measured window.
  const std::u16string text = std::u16string(600, u'\u200B') + u"abcd";
  const auto zeroThenTen = [&text](std::u16string_view part, std::vector<int>& widths) {
    const std::size_t offset = static_cast<std::size_t>(part.data() - text.data());
    int width = 0;
    for (std::size_t i = 0; i < part.size(); ++i) {
      if (offset + i >= 600) width += 10;
      widths[i] = width;
    }
  };
  const auto lines = BreakLines(text, 20, zeroThenTen);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].length, 602u);
  EXPECT_EQ(lines[1].length, 2u);
}

}  // namespace
