// The recovered-record text: pairing of contact rows, naming of messages.

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/RecoveredText.h"
#include "platform/TextEncoding.h"

using namespace engine;

namespace {

CarvedContact row(const std::string& id, const std::string& data1) { return CarvedContactOf(id, data1); }
CarvedSms message(const std::string& address, const std::string& body) { return CarvedSmsOf(address, "", body); }
LiveContact live(const std::string& id, const std::string& data1) { return LiveContact{id, data1}; }

}  // namespace

TEST(RecoveredContacts, SinglesAndEmptyInput) {
  EXPECT_EQ(formatRecoveredContacts({}), "");
  EXPECT_EQ(formatRecoveredContacts({row("\x01", "555")}), "N/A\t555\r\n");
  EXPECT_EQ(formatRecoveredContacts({row("\x01", "Alice")}), "Alice\tN/A\r\n");
  EXPECT_EQ(formatRecoveredContacts({row("\x01", "")}), "");
}

TEST(RecoveredContacts, NameAndDigitsPairWhicheverComesFirst) {
  EXPECT_EQ(formatRecoveredContacts({row("\x01", "Alice"), row("\x01", "555")}), "Alice\t555\r\n");
  EXPECT_EQ(formatRecoveredContacts({row("\x01", "555"), row("\x01", "Alice")}), "Alice\t555\r\n");
}

TEST(RecoveredContacts, NumberWithSignIsNotDigits) {
  EXPECT_EQ(formatRecoveredContacts({row("\x01", "Alice"), row("\x01", "+1 555")}), "Alice\t+1 555\r\n");
  EXPECT_EQ(formatRecoveredContacts({row("\x01", "+1 555"), row("\x01", "Alice")}), "+1 555\tAlice\r\n");
}

TEST(RecoveredContacts, ThreeRowsOfOneContactGiveThreePairs) {
  EXPECT_EQ(formatRecoveredContacts({row("\x01", "Alice"), row("\x01", "555"), row("\x01", "777")}),
            "Alice\t555\r\nAlice\t777\r\n777\t555\r\n");
}

TEST(RecoveredContacts, EqualValuesAreNotPaired) {
  EXPECT_EQ(formatRecoveredContacts({row("\x01", "Alice"), row("\x01", "Alice")}), "Alice\tN/A\r\nAlice\tN/A\r\n");
}

TEST(RecoveredContacts, ContactsAreComparedByStoredBytes) {
  // Same number, different storage width: different contacts.
  EXPECT_EQ(formatRecoveredContacts({row("\x01", "Alice"), row(std::string("\x00\x01", 2), "555")}),
            "Alice\tN/A\r\nN/A\t555\r\n");
  // Pairs come first, by first row then partner; singles after, in order.
  EXPECT_EQ(formatRecoveredContacts(
                {row("\x02", "Bob"), row("\x01", "Alice"), row("\x03", "999"), row("\x01", "555"), row("\x02", "777")}),
            "Bob\t777\r\nAlice\t555\r\nN/A\t999\r\n");
}

TEST(RecoveredContacts, InvalidUtf8GivesAnEmptyField) {
  EXPECT_EQ(formatRecoveredContacts({row("\x01", "\xC3\x28")}), "\tN/A\r\n");
  // Only the bytes before the first NUL count.
  EXPECT_EQ(formatRecoveredContacts({row("\x01", std::string("Al\0\xFF", 4))}), "Al\tN/A\r\n");
}

TEST(RecoveredContacts, ManyRowsOfOneContactStayInOrder) {
  std::vector<CarvedContact> rows;
  // 60 rows: within the 64 rows of one contact that take part in pairs.
  for (int k = 0; k < 60; ++k) rows.push_back(row("\x07", k % 3 == 0 ? "Name" : "5550" + std::to_string(k)));
  const std::string text = formatRecoveredContacts(rows);
  // Every row pairs with every later row of another value: 60 * 59 / 2
  // pairs less the 20 * 19 / 2 among the equal names.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1580);
  EXPECT_EQ(text.substr(0, 24), "Name\t55501\r\nName\t55502\r\n");
  // A number first stands second, whatever its partner.
  EXPECT_NE(text.find("\r\n55502\t55501\r\nName\t55501\r\n55504\t55501\r\n"), std::string::npos);
}

TEST(RecoveredSms, NoLiveContactsMeansNoName) {
  EXPECT_EQ(formatRecoveredSms({message("555", "hi")}, {}), "N/A\t555\thi\r\n");
  EXPECT_EQ(formatRecoveredSms({}, {live("1", "x")}), "");
}

TEST(RecoveredSms, NameIsTheFirstOtherRowOfTheMatchingContact) {
  const std::vector<LiveContact> contacts = {live("1", "Alice"), live("1", "13800138000"), live("2", "Bob"),
                                             live("2", "555"), live("1", "alice@example.com")};
  EXPECT_EQ(formatRecoveredSms({message("+8613800138000", "ni hao")}, contacts),
            "Alice\t+8613800138000\tni hao\r\n");
  EXPECT_EQ(formatRecoveredSms({message("555", "yo")}, contacts), "Bob\t555\tyo\r\n");
  // "+86" is removed wherever it first stands.
  EXPECT_EQ(formatRecoveredSms({message("55+865", "x")}, contacts), "Bob\t55+865\tx\r\n");
}

TEST(RecoveredSms, OnlyTheFirstMatchingLiveRowCounts) {
  const std::vector<LiveContact> contacts = {live("9", "555"), live("2", "Bob"), live("2", "555")};
  EXPECT_EQ(formatRecoveredSms({message("555", "x")}, contacts), "N/A\t555\tx\r\n");
}

TEST(RecoveredSms, EmptyAddressMatchesAnEmptyLiveValue) {
  const std::vector<LiveContact> contacts = {live("4", "Carol"), live("4", "")};
  EXPECT_EQ(formatRecoveredSms({message("", "hello")}, contacts), "Carol\tN/A\thello\r\n");
  EXPECT_EQ(formatRecoveredSms({message("555", "")}, {}), "N/A\t555\tN/A\r\n");
}

TEST(RecoveredSms, MessageWithNothingInItIsNotWritten) {
  // Zeroed free space carves as messages whose fields hold only NULs.
  const std::string zeros(8, '\0');
  EXPECT_EQ(formatRecoveredSms({message("", ""), message(zeros, zeros), message(zeros, "hi")}, {}),
            "N/A\t\thi\r\n");
  EXPECT_EQ(formatRecoveredSms({message("\xFF", "\xFE")}, {}), "");
}

TEST(RecoveredSms, BodyWithLineBreakIsWrittenUnchanged) {
  EXPECT_EQ(formatRecoveredSms({message("555", "a\r\nb\tc")}, {}), "N/A\t555\ta\r\nb\tc\r\n");
}

// Small hostile inputs must not make the text huge: one contact with
// thousands of carved rows, one megabyte-long name that thousands of carved
// messages look up. Real data (short names, contacts of a few rows) keeps its
// text exactly.
namespace {

std::size_t linesOf(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

std::vector<CarvedContact> rowsOfOneContact(std::size_t count) {
  std::vector<CarvedContact> rows;
  for (std::size_t k = 0; k < count; ++k) rows.push_back(row("\x07", "value " + std::to_string(k)));
  return rows;
}

}  // namespace

TEST(RecoveredBounds, OnlyTheFirst64RowsOfAContactArePaired) {
  // 64 rows: every pair, as ever.
  EXPECT_EQ(linesOf(formatRecoveredContacts(rowsOfOneContact(64))), 64u * 63u / 2u);
  // 10,000 rows: the same pairs, then each further row on its own line.
  const std::string text = formatRecoveredContacts(rowsOfOneContact(10000));
  EXPECT_EQ(linesOf(text), 64u * 63u / 2u + (10000u - 64u));
  EXPECT_EQ(text.rfind("value 9999\tN/A\r\n"), text.size() - std::string("value 9999\tN/A\r\n").size());
  EXPECT_EQ(text.find("value 64\t"), text.find("value 64\tN/A\r\n"));
  // Another contact's rows still pair among themselves.
  std::vector<CarvedContact> rows = rowsOfOneContact(100);
  rows.push_back(row("\x08", "Bob"));
  rows.push_back(row("\x08", "555"));
  EXPECT_NE(formatRecoveredContacts(rows).find("Bob\t555\r\n"), std::string::npos);
}

TEST(RecoveredBounds, LongSenderNameIsCutOnACharacterBoundary) {
  // "é" is two bytes: a cut at 4096 bytes must not split one.
  const std::string longName = "x" + std::string() + [] {
    std::string name;
    for (int k = 0; k < 500000; ++k) name += "\xC3\xA9";
    return name;
  }();
  const std::vector<LiveContact> people{live("\x01", longName), live("\x01", "5550001"), live("\x02", "Ann"),
                                        live("\x02", "5550002")};
  std::vector<CarvedSms> messages(2000, message("5550001", "hi"));
  messages.push_back(message("5550002", "hello"));
  const std::string text = formatRecoveredSms(messages, people);
  EXPECT_LT(text.size(), 2001u * 4200u);
  const std::string first = text.substr(0, text.find('\t'));
  EXPECT_LE(first.size(), 4096u);
  EXPECT_GE(first.size(), 4094u);
  // The name in the narrow encoding (UTF-8, or a Windows code page).
  EXPECT_EQ(platform::narrowFromUtf8(longName).compare(0, first.size(), first), 0);
  EXPECT_NE(static_cast<unsigned char>(first.back()), 0xC3u);
  EXPECT_NE(text.find("\r\nAnn\t5550002\thello\r\n"), std::string::npos);
}
