// The recovered-record text: pairing of contact rows, naming of messages.

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/RecoveredText.h"

using namespace engine;

namespace {

CarvedContact row(const std::string& id, const std::string& data1) { return CarvedContact{id, data1}; }
CarvedSms message(const std::string& address, const std::string& body) { return CarvedSms{address, "", body}; }
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
  for (int k = 0; k < 300; ++k) rows.push_back(row("\x07", k % 3 == 0 ? "Name" : "5550" + std::to_string(k)));
  const std::string text = formatRecoveredContacts(rows);
  // Every row pairs with every later row of another value: 300 * 299 / 2
  // pairs less the 100 * 99 / 2 among the equal names.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 39900);
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
