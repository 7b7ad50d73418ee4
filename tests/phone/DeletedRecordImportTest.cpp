// The import of carving alone: how a recovered-record text is cut into
// records, what each record holds, and that the progress total (the count
// of "\r\n") always matches the records made.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "phone/DeletedRecordImport.h"
#include "phone/PhoneRecords.h"

namespace phone {
namespace {

class DeletedRecordImportTest : public ::testing::Test {
 protected:
  // The contacts imported from `text` as the lines they were cut from (the
  // name, a tab and the value when there is one), after checking the
  // progress units and the count of line ends against them.
  std::vector<std::string> importContacts(const std::string& text) {
    contacts.clear();
    values = nullptr;
    std::size_t progress = 0;
    const std::size_t made = ImportRecoveredContacts(text, arena, contacts, &values, [&progress] { ++progress; });
    EXPECT_EQ(made, contacts.size());
    EXPECT_EQ(progress, contacts.size()) << "one progress unit per record";
    EXPECT_EQ(CountLineEnds(text), contacts.size()) << "the progress total must match the records made";
    std::vector<std::string> lines;
    for (const ContactRecord* record : contacts) {
      std::string line = record->displayName;
      for (const DataRowRecord* value = values; value != nullptr; value = value->next) {
        if (value->contactKey != record->contactKey) continue;
        EXPECT_EQ(value->mimeTypeKey, kLineValueMimeTypeKey) << "a value of unknown kind";
        line += std::string("\t") + value->value;
      }
      lines.push_back(line);
    }
    return lines;
  }

  RecordArena arena;
  std::vector<ContactRecord*> contacts;
  DataRowRecord* values = nullptr;
};

TEST_F(DeletedRecordImportTest, EachLineBecomesADeletedCheckedRecordWithItsLineCutOnce) {
  std::string text = "Ann\t555-0101\r\nBob\t555-0102\tmore\r\n";
  EXPECT_EQ(importContacts(text), (std::vector<std::string>{"Ann\t555-0101", "Bob\t555-0102\tmore"}));
  for (std::size_t i = 0; i < contacts.size(); ++i) {
    EXPECT_EQ(contacts[i]->contactKey, -static_cast<std::int32_t>(i + 1)) << "below every live key";
    EXPECT_EQ(contacts[i]->checked, 1);
    EXPECT_EQ(contacts[i]->deleted, 1);
    EXPECT_EQ(contacts[i]->displayNameSource, kDisplayNameFromStructuredName) << "the name is written as it stands";
    EXPECT_EQ(contacts[i]->next, nullptr) << "recovered records are never linked";
  }
  text.assign(text.size(), 'x');
  EXPECT_STREQ(contacts[0]->displayName, "Ann") << "a private copy";

  ConversationRecord loose{};
  loose.threadKey = -7;
  MessageRecord* messages = nullptr;
  EXPECT_EQ(ImportRecoveredMessages("Ann\t+1555\tSee you\r\nN/A\t55501\tCode\r\n\r\n", arena, loose, &messages,
                                    nullptr),
            3u);
  ASSERT_NE(messages, nullptr);
  const MessageRecord& second = *messages->next;
  EXPECT_STREQ(second.recoveredLine, "N/A\t55501\tCode") << "kept to be written back as it was";
  EXPECT_STREQ(second.address, "55501");
  EXPECT_STREQ(second.body, "Code");
  EXPECT_EQ(second.threadKey, -7);
  EXPECT_TRUE(IsDeleted(second));
  EXPECT_EQ(second.next->address, nullptr) << "an empty line holds nothing";
  EXPECT_EQ(loose.messageCount, 3);
  EXPECT_EQ(loose.deletedCount, 3);
}

TEST_F(DeletedRecordImportTest, LinesAreCutOnlyAtCarriageReturnLineFeed) {
  EXPECT_EQ(importContacts("N/A\t555\r\n"), (std::vector<std::string>{"N/A\t555"}));
  // Text after the last line end makes no record.
  EXPECT_EQ(importContacts("A\tB\r\nC\tD"), (std::vector<std::string>{"A\tB"}));
  EXPECT_EQ(importContacts("no line end at all"), std::vector<std::string>{});
  EXPECT_EQ(importContacts(""), std::vector<std::string>{});
  // A line end right after another gives an empty record.
  EXPECT_EQ(importContacts("A\tB\r\n\r\nC\tD\r\n"), (std::vector<std::string>{"A\tB", "", "C\tD"}));
  // A body that held a line end gives two records, the second without tabs.
  EXPECT_EQ(importContacts("Ann\t+1555\tfirst part\r\nsecond part\r\n"),
            (std::vector<std::string>{"Ann\t+1555\tfirst part", "second part"}));
  // Lone CR and LF belong to the text.
  EXPECT_EQ(importContacts("A\rB\nC\r\r\n"), (std::vector<std::string>{"A\rB\nC\r"}));
  EXPECT_EQ(importContacts("\n\r\n\r"), (std::vector<std::string>{"\n"}));
}

TEST_F(DeletedRecordImportTest, ArenaThatRefusesMemoryEndsTheImport) {
  RecordArena tiny(1024);
  EXPECT_EQ(ImportRecoveredContacts("A\r\nB\r\n", tiny, contacts, &values, nullptr), 0u);
  EXPECT_TRUE(contacts.empty());
}

TEST(PhoneRecordsTest, ClearRecordsEmptiesEveryListAndTheNextImportStartsAfresh) {
  PhoneRecords records;
  ASSERT_TRUE(records.ReadSms(std::string(ZR_SOURCE_DIR) + "/demo/mmssms.db").complete());
  EXPECT_EQ(records.ImportRecoveredContacts("A\tB\r\nC\tD\r\n", nullptr), 2u);
  EXPECT_EQ(records.ImportRecoveredMessages("N\t1\tx\r\n", nullptr), 1u);

  ASSERT_EQ(records.recoveredConversations().size(), 1u);
  EXPECT_EQ(records.recoveredConversations()[0]->loose, 1);

  records.ClearRecords();
  EXPECT_TRUE(records.recoveredContacts().empty());
  EXPECT_EQ(records.recoveredDataRows(), nullptr);
  EXPECT_TRUE(records.recoveredConversations().empty());
  EXPECT_EQ(records.smsLists().messages, nullptr);
  EXPECT_EQ(records.smsLists().conversations, nullptr);

  records.ImportRecoveredContacts("E\tF\r\n", nullptr);
  ASSERT_EQ(records.recoveredContacts().size(), 1u);
  EXPECT_EQ(records.recoveredContacts()[0]->contactKey, -1);
  EXPECT_STREQ(records.recoveredContacts()[0]->displayName, "E");
  ASSERT_NE(records.recoveredDataRows(), nullptr);
  EXPECT_STREQ(records.recoveredDataRows()->value, "F");
}

}  // namespace
}  // namespace phone
