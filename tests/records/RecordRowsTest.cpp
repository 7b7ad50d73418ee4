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

TEST(RecordRows, RecoveredContactsComeFirstAndNeedATab) {
  RecordBuilder build;
  build.contact(7, "Zoë");
  build.recoveredContact("Ann\t+86 555\tmore");
  build.recoveredContact("no tab at all");
  const auto& second = build.recoveredContact("\t");

  const auto rows = records::ContactRows(build.records);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(cells(rows[0]), (std::vector<std::u16string>{u"Ann", u"+86 555\tmore", u"", u""}));
  EXPECT_EQ(rows[1].record, &second);
  EXPECT_EQ(cells(rows[1]), (std::vector<std::u16string>{u"", u"", u"", u""}));
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

TEST(RecordRows, ConversationNamesComeFromTheFirstMessagesPerson) {
  RecordBuilder build;
  build.contact(1, "First", 0, 5);  // not a structured name: the list shows it all the same
  build.contact(2, "Second", 40, 5);
  build.conversation(10);
  build.conversation(11);
  build.conversation(12);
  build.message(11, "+111", 0, 1, "hi");
  build.message(10, "+100", 5, 1, "a");
  build.message(10, "+199", 0, 2, "b");
  build.recoveredMessage("Bob\t+222\tbody\twith tab");
  build.recoveredMessage("only\tone tab");

  const auto rows = records::MessageRows(build.records);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(cells(rows[0]), (std::vector<std::u16string>{u"Bob", u"+222"}));
  EXPECT_EQ(cells(rows[1]), (std::vector<std::u16string>{u"First", u"+100"}));
  EXPECT_EQ(cells(rows[2]), (std::vector<std::u16string>{u"", u"+111"}));  // person 0 names nobody
  EXPECT_EQ(cells(rows[3]), (std::vector<std::u16string>{u"", u""}));      // no messages
}
