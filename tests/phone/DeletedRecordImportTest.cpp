// The deleted-record import: how a recovered-record text is cut into
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
  // The texts of the contacts imported from `text`, after checking the
  // progress units and the count of line ends against them.
  std::vector<std::string> importContacts(const std::string& text) {
    contacts.clear();
    std::size_t progress = 0;
    const std::size_t made = ImportRecoveredContacts(text, arena, contacts, [&progress] { ++progress; });
    EXPECT_EQ(made, contacts.size());
    EXPECT_EQ(progress, contacts.size()) << "one progress unit per record";
    EXPECT_EQ(CountLineEnds(text), contacts.size()) << "the progress total must match the records made";
    std::vector<std::string> texts;
    for (const ContactRecord* record : contacts) texts.emplace_back(record->displayName);
    return texts;
  }

  RecordArena arena;
  std::vector<ContactRecord*> contacts;
};

TEST_F(DeletedRecordImportTest, EachLineBecomesANumberedDeletedCheckedRecord) {
  std::string text = "Ann\t555-0101\r\nBob\t555-0102\r\n";
  EXPECT_EQ(importContacts(text), (std::vector<std::string>{"Ann\t555-0101", "Bob\t555-0102"}));
  for (std::size_t i = 0; i < contacts.size(); ++i) {
    EXPECT_EQ(contacts[i]->contactKey, static_cast<std::int32_t>(i));
    EXPECT_EQ(contacts[i]->checked, 1);
    EXPECT_EQ(contacts[i]->deleted, 1);
    EXPECT_EQ(contacts[i]->next, nullptr) << "recovered records are never linked";
  }
  text.assign(text.size(), 'x');
  EXPECT_STREQ(contacts[0]->displayName, "Ann\t555-0101") << "a private copy";

  std::vector<ConversationRecord*> messages;
  EXPECT_EQ(ImportRecoveredMessages("Ann\t+1555\tSee you\r\nN/A\t55501\tCode\r\n", arena, messages, nullptr), 2u);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_STREQ(messages[1]->recoveredText, "N/A\t55501\tCode");
  EXPECT_EQ(messages[1]->threadKey, 1);
  EXPECT_EQ(messages[1]->checked, 1);
  EXPECT_EQ(messages[1]->deleted, 1);
  EXPECT_EQ(messages[1]->next, nullptr);
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
  EXPECT_EQ(ImportRecoveredContacts("A\r\nB\r\n", tiny, contacts, nullptr), 0u);
  EXPECT_TRUE(contacts.empty());
}

TEST(PhoneRecordsTest, ClearRecordsEmptiesEveryListAndTheNextImportStartsAfresh) {
  PhoneRecords records;
  ASSERT_TRUE(records.ReadSms(std::string(ZR_SOURCE_DIR) + "/demo/mmssms.db").complete());
  EXPECT_EQ(records.ImportRecoveredContacts("A\tB\r\nC\tD\r\n", nullptr), 2u);
  EXPECT_EQ(records.ImportRecoveredMessages("N\t1\tx\r\n", nullptr), 1u);

  records.ClearRecords();
  EXPECT_TRUE(records.recoveredContacts().empty());
  EXPECT_TRUE(records.recoveredMessages().empty());
  EXPECT_EQ(records.smsLists().messages, nullptr);
  EXPECT_EQ(records.smsLists().conversations, nullptr);

  records.ImportRecoveredContacts("E\tF\r\n", nullptr);
  ASSERT_EQ(records.recoveredContacts().size(), 1u);
  EXPECT_EQ(records.recoveredContacts()[0]->contactKey, 0);
  EXPECT_STREQ(records.recoveredContacts()[0]->displayName, "E\tF");
}

}  // namespace
}  // namespace phone
