// The rows of the record list: which records get a row, in which order, and
// what each cell shows.

#include <gtest/gtest.h>

#include "records/RecordRows.h"
#include "tests/records/ExportTestSupport.h"

using records::RecordRow;
using records_testing::RecordBuilder;
using records_testing::u16;

namespace {

std::vector<std::u16string> cells(const RecordRow& row) { return row.cells; }

}  // namespace

TEST(RecordRows, DeletedContactsComeFirstAsWholeContacts) {
  RecordBuilder build;
  build.contact(7, "Zoë");
  const auto& nadia = build.deletedContact("Nadia Kowalski");
  build.deletedValue(nadia.contactKey, 2, "nadia.k@example.net", "1");
  build.deletedValue(nadia.contactKey, 3, "Kowalski Bakery", nullptr);
  build.deletedValue(nadia.contactKey, 1, "(212) 555-0137", "1");
  build.deletedValue(nadia.contactKey, 1, "(212) 555-0138", "2");
  build.recoveredContact("Ann\t+86 555\tmore");  // carving alone: the rest of the line is the number

  const auto rows = records::ContactRows(build.records);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].record, &nadia);
  EXPECT_EQ(cells(rows[0]),
            (std::vector<std::u16string>{u"Nadia Kowalski", u"(212) 555-0137", u"Kowalski Bakery", u"nadia.k@example.net"}));
  EXPECT_EQ(cells(rows[1]), (std::vector<std::u16string>{u"Ann", u"+86 555\tmore", u"", u""}));
  EXPECT_EQ(cells(rows[2])[0], u16("Zoë"));
}

TEST(RecordRows, LiveContactShowsFirstNonEmptyDetailOfEachKind) {
  RecordBuilder build;
  build.mimeType(9, nullptr);  // a mimetype without a name adds nothing
  auto& contact = build.contact(1, "张伟", 0);
  build.dataRow(1, 3, "", nullptr);
  build.dataRow(1, 1, "", "2");
  build.dataRow(1, 1, "13800", "2");
  build.dataRow(1, 1, "13900", "1");
  build.dataRow(1, 3, "Acme", nullptr);
  build.dataRow(1, 2, "a@b.c", "1");
  build.dataRow(1, 9, "ignored", nullptr);
  build.dataRow(1, 77, "no such mimetype", nullptr);
  build.dataRow(2, 1, "someone else's", "2");
  contact.checked = 0;

  const auto rows = records::ContactRows(build.records);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(cells(rows[0]), (std::vector<std::u16string>{u16("张伟"), u"13800", u"Acme", u"a@b.c"}));
  EXPECT_FALSE(rows[0].checked);  // the row's box follows the record's flag
}

TEST(RecordRows, OneRowPerConversationNamedAsItsSenderWithItsDeletedCount) {
  RecordBuilder build;
  build.contact(1, "First", 0, 5);  // not a structured name: the list shows it all the same
  build.contact(2, "Second", 40, 5);
  build.contact(3, "By number", 40);
  build.dataRow(3, 1, "+1 (111) 000-1111", "2");
  build.conversation(10).messageCount = 2;
  auto& withDeleted = build.conversation(11);
  withDeleted.messageCount = 3;
  withDeleted.deletedCount = 1;
  build.conversation(12);
  build.message(11, "+11110001111", 0, 1, "hi");
  build.message(10, "+100", 5, 1, "a");
  build.message(10, "+199", 0, 2, "b");
  auto& gone = build.deletedConversation(20);
  gone.messageCount = gone.deletedCount = 2;
  build.deletedMessage(20, "+222", 1, "bye", "");
  build.recoveredMessage("N/A\tN/A\twords");

  const auto rows = records::MessageRows(build.records);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(cells(rows[0]), (std::vector<std::u16string>{u"", u"+222", u"2 deleted"}));
  EXPECT_EQ(cells(rows[1]), (std::vector<std::u16string>{u"Recovered text without sender", u"", u"1 deleted"}));
  EXPECT_EQ(cells(rows[2]), (std::vector<std::u16string>{u"First", u"+100", u"2"}));
  EXPECT_EQ(cells(rows[3]), (std::vector<std::u16string>{u"By number", u"+11110001111", u"3, 1 deleted"}))
      << "named by its number, as a phone names a sender";
  EXPECT_EQ(cells(rows[4]), (std::vector<std::u16string>{u"", u"", u"0"}));  // no messages
}
