// The SMS export files: one file per checked conversation named after its
// peer label, deleted.txt, and file names made safe from hostile labels.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/ExportFileName.h"
#include "records/MessagesExport.h"
#include "tests/records/ExportTestSupport.h"

namespace records {
namespace {

using namespace records_testing;
using phone::kDirectionReceived;
using phone::kDirectionSent;

class MessagesExportTest : public ::testing::Test {
 protected:
  std::int32_t run() { return ExportMessages(build.records, category, harness.state); }
  Lines files() const { return namesIn(harness.root() / "Message (4)"); }
  Lines lines(const std::u16string& file) const {
    return exportLines(harness.root() / "Message (4)" / std::filesystem::path(file));
  }
  // One conversation per address, each of one received message "x".
  std::vector<phone::ConversationRecord*> conversationsFrom(std::initializer_list<const char*> addresses) {
    std::vector<phone::ConversationRecord*> made;
    std::int32_t thread = 100;
    for (const char* address : addresses) {
      made.push_back(&build.conversation(++thread));
      build.message(thread, address, 0, kDirectionReceived, "x");
    }
    return made;
  }
  static Lines received(const std::u16string& peer) { return {u"", u"t", peer + u" : x", u""}; }

  RecordBuilder build;
  ExportCategory category{u"Message (4)", true, true};
  ExportHarness harness;
};

TEST_F(MessagesExportTest, ConversationFileHoldsThreeLinesPerMessage) {
  build.conversation(7);
  build.message(7, "+15550100", 0, kDirectionReceived, "Hi\nthere", "07:08");
  build.message(8, "+15550199", 0, kDirectionReceived, "other thread");
  build.message(7, "+15550100", 0, kDirectionSent, "Hello", "07:09");
  build.message(7, "+15550100", 0, 5, "Queued", "07:10");

  EXPECT_EQ(run(), 1);
  EXPECT_EQ(files(), Lines{u"+15550100.txt"});
  EXPECT_EQ(lines(u"+15550100.txt"), (Lines{u"", u"07:08", u"+15550100 : Hi", u"there", u"", u"07:09", u"Me : Hello",
                                            u"", u"07:10", u"Me : Queued", u""}));
}

TEST_F(MessagesExportTest, PeerLabelIsTheStructuredNameOfTheFirstMatchingContactElseTheAddress) {
  build.contact(1, "Ann", phone::kDisplayNameFromStructuredName, 21);
  build.contact(2, "Bob by nickname", 35, 22);
  build.contact(3, "Bob", phone::kDisplayNameFromStructuredName, 22);  // not the first match
  build.contact(4, "Jos\xC3\xA9", phone::kDisplayNameFromStructuredName, 25);
  const std::pair<std::int32_t, const char*> firsts[] = {{21, "111"}, {22, "222"}, {23, "333"}, {0, "444"}, {25, "5"}};
  for (const auto& [person, address] : firsts) {
    build.conversation(person);
    build.message(person, address, person, kDirectionReceived, "x");
    build.message(person, "999", 21, kDirectionReceived, "x");  // later messages do not count
  }
  EXPECT_EQ(run(), 5);
  EXPECT_EQ(files(), (Lines{u"222.txt", u"333.txt", u"444.txt", u"Ann.txt", u16("Jos\xC3\xA9.txt")}));
  EXPECT_EQ(lines(u"222.txt"), (Lines{u"", u"t", u"222 : x", u"", u"t", u"222 : x", u""}));
  EXPECT_EQ(PeerLabel(build.records.messages, build.records.contacts), u"Ann");
}

TEST_F(MessagesExportTest, SameLabelGetsAFileOfItsOwnAndNoMessagesWritesNoHiddenFile) {
  conversationsFrom({"55501", "55501", "55501"})[1]->checked = 0;
  build.conversation(1);
  EXPECT_EQ(run(), 3);
  EXPECT_EQ(files(), (Lines{u"55501 (2).txt", u"55501.txt", u"_.txt"}));
  EXPECT_EQ(lines(u"55501.txt"), (Lines{u"", u"t", u"55501 : x", u""}));
  EXPECT_EQ(lines(u"55501 (2).txt"), (Lines{u"", u"t", u"55501 : x", u""}));
  EXPECT_EQ(lines(u"_.txt"), Lines{u""});
}

TEST_F(MessagesExportTest, LabelsWhoseNamesCollideAreNeverMerged) {
  const std::string longA = std::string(100, 'L') + "-one";
  const std::string longB = std::string(100, 'L') + "-two";
  conversationsFrom({"a/b", "a_b", "a:b", "deleted", "_deleted", "A_B", longA.c_str(), longB.c_str(), ".profile",
                     "x\xE2\x80\xAEtxt.exe", "del\x7F"});
  EXPECT_EQ(run(), 11);
  const std::u16string cut(kMaxNameUnits, u'L');
  EXPECT_EQ(files(), (Lines{u"A_B (4).txt", cut + u" (2).txt", cut + u".txt", u"_.profile.txt", u"_deleted (2).txt",
                            u"_deleted.txt", u"a_b (2).txt", u"a_b (3).txt", u"a_b.txt", u"del.txt",
                            u"xtxt.exe.txt"}));
  EXPECT_EQ(lines(u"a_b (3).txt"), received(u"a:b"));
  EXPECT_EQ(lines(u"_deleted (2).txt"), received(u"_deleted"));
  EXPECT_EQ(lines(cut + u" (2).txt"), received(u16(longB)));
}

TEST_F(MessagesExportTest, HostileLabelIsMadeSafeInTheFileNameOnly) {
  const std::string overlong(400, 'A');
  conversationsFrom(
      {"a/b\\c:d*e?f\"g<h>i|j", "tab\there", "..", "../../escape", "CON", "com1", "Deleted", overlong.c_str()});
  EXPECT_EQ(run(), 8);
  const std::u16string cut = std::u16string(kMaxNameUnits, u'A') + u".txt";
  EXPECT_EQ(files(), (Lines{cut, u"_...txt", u"_.._.._escape.txt", u"_CON.txt", u"_Deleted.txt", u"_com1.txt",
                            u"a_b_c_d_e_f_g_h_i_j.txt", u"tab_here.txt"}));
  EXPECT_EQ(namesIn(harness.root()), Lines{u"Message (4)"}) << "nothing left the category folder";
  EXPECT_EQ(lines(u"a_b_c_d_e_f_g_h_i_j.txt"), received(u"a/b\\c:d*e?f\"g<h>i|j"));
  EXPECT_EQ(lines(u"tab_here.txt"), received(u"tab\there"));
  EXPECT_EQ(lines(u"_Deleted.txt"), received(u"Deleted"));
  EXPECT_EQ(lines(cut), received(std::u16string(400, u'A')));
}

TEST(ExportFileName, DevicesEndsAndLengthAreMadeSafe) {
  for (const char16_t* device :
       {u"prn", u"Aux", u"NUL", u"COM0", u"LPT9", u"COM\u00B9", u"conout$", u"NUL.tar", u"CON  "}) {
    EXPECT_EQ(SafeFileName(device, u".txt"), u"_" + std::u16string(device) + u".txt");
  }
  for (const char16_t* ordinary : {u"CONS", u"COM", u"COM10", u" CON", u"A.CON"}) {
    EXPECT_EQ(SafeFileName(ordinary, u".txt"), std::u16string(ordinary) + u".txt");
  }
  EXPECT_EQ(SafeFileName(u"a\x01\x1F\x7F"), u"a__");
  EXPECT_EQ(SafeFileName(u"\u202Egnp.exe\u200E\u2066\u2069\u202A"), u"gnp.exe");
  EXPECT_EQ(SafeFileName(u"\u202E"), u"_");
  EXPECT_EQ(SafeFileName(u".hidden", u".txt"), u"_.hidden.txt");
  EXPECT_EQ(SafeFileName(u".."), u"__");
  EXPECT_EQ(SafeFileName(u"Contacts. "), u"Contacts__");
  EXPECT_EQ(SafeFileName(u""), u"_");
  EXPECT_EQ(ConversationFileName(u"DELETED"), u"_DELETED.txt");

  EXPECT_EQ(SafeFileName(std::u16string(300, u'5'), u".txt"), std::u16string(kMaxNameUnits, u'5') + u".txt");
  EXPECT_EQ(SafeFileName(std::u16string(90, u'\u738B')), std::u16string(66, u'\u738B'));  // 3 UTF-8 bytes each
  std::u16string faces;
  for (int i = 0; i < 60; ++i) faces += u"\U0001F600";
  EXPECT_EQ(SafeFileName(u"x" + faces), u"x" + faces.substr(0, 98)) << "a surrogate pair is never split";
}

TEST_F(MessagesExportTest, DeletedMessagesAreInTheirConversationAtTheirTimeWithAMark) {
  build.conversation(7);
  build.message(7, "+15550100", 0, kDirectionReceived, "Before", "2019-01-01 10:00:00");
  build.deletedMessage(7, "+15550100", kDirectionSent, "Deleted between", "2019-01-01 10:05:00");
  build.message(7, "+15550100", 0, kDirectionReceived, "After", "2019-01-01 10:10:00");
  build.deletedMessage(7, "+15550100", 0, "Who wrote this?", "");
  build.deletedConversation(9);
  build.deletedMessage(9, "+15550199", kDirectionReceived, "Gone thread", "2019-02-02 09:00:00", RecordBuilder::kWal);
  EXPECT_EQ(run(), 4) << "one live conversation and three deleted messages, as the caption counts";
  EXPECT_EQ(files(), (Lines{u"+15550100.txt", u"+15550199.txt"}));
  EXPECT_EQ(lines(u"+15550100.txt"),
            (Lines{u"", u"2019-01-01 10:00:00", u"+15550100 : Before", u"", u"2019-01-01 10:05:00 (deleted)",
                   u"Me : Deleted between", u"", u"2019-01-01 10:10:00", u"+15550100 : After", u"",
                   u"(deleted, no date)", u"Unknown : Who wrote this?", u""}));
  EXPECT_EQ(lines(u"+15550199.txt"), (Lines{u"", u"2019-02-02 09:00:00 (deleted)", u"+15550199 : Gone thread", u""}));
  EXPECT_EQ(harness.state.messagesExported, 5);
}

TEST_F(MessagesExportTest, MessagesWithoutAConversationGoToDeletedTxt) {
  conversationsFrom({"111"});
  build.recoveredMessage(
      "N/A\t+13055550114\tLa contrase\xC3\xB1"
      "a");
  build.recoveredMessage("");  // counted, no line
  build.recoveredMessage("second part of a body");
  EXPECT_EQ(run(), 4);
  EXPECT_EQ(files(), (Lines{u"111.txt", u"deleted.txt"}));
  EXPECT_EQ(lines(u"deleted.txt"), (Lines{u"Deleted SMS:",
                                          u16("N/A\t+13055550114\tLa contrase\xC3\xB1"
                                              "a"),
                                          u"second part of a body"}));
  EXPECT_EQ(harness.state.progressCount, 2) << "one step per conversation";

  // Whole records: the search index's words, marked as such.
  build.deletedMessage(RecordBuilder::kLooseThreadKey, "", 0, "the words of it", "", 32);
  harness.state.outputFolder += u"-whole";
  std::filesystem::create_directory(harness.root());
  EXPECT_EQ(run(), 5);
  EXPECT_EQ(lines(u"deleted.txt").back(), u"N/A\tN/A\t[search index] the words of it");
}

TEST_F(MessagesExportTest, DeletedTxtComesWithItsConversationWhetherCheckedOrNot) {
  build.recoveredMessage("x");
  build.looseConversation().checked = 0;
  phone::ConversationRecord* live = conversationsFrom({"111"})[0];
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(files(), (Lines{u"111.txt", u"deleted.txt"}));
  EXPECT_EQ(lines(u"deleted.txt"), Lines{u"Deleted SMS:"});

  build.conversation(2).checked = 0;
  live->checked = 0;
  build.looseConversation().checked = 1;
  category = {u"Message (4)", false, true};
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(namesIn(harness.root() / "Message (1)"), Lines{u"deleted.txt"});

  build.looseConversation().checked = 0;
  harness.state.outputFolder += u"-nothing";
  EXPECT_EQ(run(), 0) << "nothing checked: nothing created";
  EXPECT_FALSE(std::filesystem::exists(harness.root()));
}

TEST_F(MessagesExportTest, StopBeforeAConversationEndsTheExportBeforeDeletedTxt) {
  conversationsFrom({"1", "2", "3"});
  build.recoveredMessage("x");
  harness.afterStep = [this] { harness.stop = true; };
  EXPECT_EQ(run(), -1);
  EXPECT_EQ(files(), Lines{u"1.txt"});
  EXPECT_EQ(harness.state.progressCount, 1);
}

}  // namespace
}  // namespace records
