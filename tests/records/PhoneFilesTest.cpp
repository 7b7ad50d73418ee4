// The files a phone takes back: vCard values escaped and lines folded
// without splitting a character, XML attribute values that nothing can end
// early, and what each file makes of records that lack a name, a number or
// a date. That real readers read them is tests/cli/ExportFormatsTest.cpp's.

#include <gtest/gtest.h>

#include <string>

#include "records/ExportJob.h"
#include "records/SmsBackupExport.h"
#include "records/VCardExport.h"
#include "records/VCardText.h"
#include "tests/records/ExportTestSupport.h"

namespace records {
namespace {

using namespace records_testing;

TEST(VCardTextTest, ValuesAreEscapedAndLongLinesFoldedBetweenCharacters) {
  EXPECT_EQ(VCardEscaped("a\\b,c;d\r\ne\nf\rg"), "a\\\\b\\,c\\;d\\ne\\nf\\ng");
  EXPECT_EQ(VCardFolded("FN:short"), "FN:short\r\n");

  // 73 octets, then a 3-octet character that would straddle octet 75.
  const std::string line = "NOTE:" + std::string(68, 'x') + "\xE7\x8E\x8B" + std::string(100, 'y');
  const std::string folded = VCardFolded(line);
  std::string unfolded;
  std::size_t start = 0;
  for (std::size_t end = folded.find("\r\n"); end != std::string::npos; end = folded.find("\r\n", start)) {
    const std::string physical = folded.substr(start, end - start);
    EXPECT_LE(physical.size(), 75u) << physical;
    unfolded += start == 0 ? physical : physical.substr(1);  // a continuation begins with one blank
    if (start != 0) {
      EXPECT_EQ(physical[0], ' ');
    }
    start = end + 2;
  }
  EXPECT_EQ(start, folded.size()) << "every line ends with CR LF";
  EXPECT_EQ(unfolded, line);
  EXPECT_EQ(folded.substr(73, 2), "\r\n") << "the character moves whole to the next line";
}

TEST(XmlAttributeTextTest, NothingCanEndTheAttributeAndForbiddenCharactersAreCounted) {
  std::int64_t dropped = 0;
  EXPECT_EQ(XmlAttributeText("<a href=\"x\">Tom & 'Jerry'</a>", dropped),
            "&lt;a href=&quot;x&quot;&gt;Tom &amp; &apos;Jerry&apos;&lt;/a&gt;");
  EXPECT_EQ(XmlAttributeText("one\r\ntwo\tthree", dropped), "one&#13;&#10;two&#9;three") << "kept by the reader";
  EXPECT_EQ(dropped, 0);
  const char raw[] = "bell\x07, nul\0, \xEF\xBF\xBE and \xEF\xBF\xBD ok";
  EXPECT_EQ(XmlAttributeText(std::string(raw, sizeof raw - 1), dropped), "bell, nul,  and \xEF\xBF\xBD ok");
  EXPECT_EQ(dropped, 3);
}

class PhoneFilesTest : public ::testing::Test {
 protected:
  std::string run(ExportFormat format) {
    ExportOptions options;
    options.format = format;
    harness.state.exportTotal = CountCheckedRecords(build.records, contacts, messages);
    RunExport(build.records, contacts, messages, harness.state, options);
    EXPECT_TRUE(harness.state.complete) << harness.state.failure;
    return fileBytes(harness.root() / (format == ExportFormat::kVCard ? "contacts.vcf" : "messages.xml"));
  }

  RecordBuilder build;
  ExportHarness harness;
  ExportCategory contacts{u"Contacts", true, true};
  ExportCategory messages{u"Message", true, true};
};

TEST_F(PhoneFilesTest, AContactWithoutANameGoesByItsNumberAndADeletedOneSaysWhereItWasFound) {
  const std::int32_t key = build.deletedContact("", RecordBuilder::kWal).contactKey;
  build.deletedValue(key, 1, "+1 555-0140", "0").label = "Bakery line";
  build.deletedValue(key, 2, "bake@example.com", "2");
  const std::string vcf = run(ExportFormat::kVCard);
  EXPECT_EQ(vcf,
            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:;;;;\r\nFN:+1 555-0140\r\nTEL;TYPE=X-Bakeryline:+1 555-0140\r\n"
            "EMAIL;TYPE=INTERNET,WORK:bake@example.com\r\n"
            "NOTE:Recovered by Zephyrloom Rescue: deleted on the phone\\, found in the da\r\n"
            " tabase's write-ahead log.\r\nEND:VCARD\r\n");
  EXPECT_EQ(harness.state.contactsExported, 1);
  EXPECT_EQ(PhoneVCardType(12, nullptr), "MAIN");
  EXPECT_EQ(PhoneVCardType(0, "\xE5\xB7\xA5"), "") << "a label with no ASCII letter gives no type";
}

TEST_F(PhoneFilesTest, DeletedMessagesTakeTheDateBeforeThemOrAreLeftOutAndTheFileSaysSo) {
  build.conversation(1);
  phone::SetMessageDate(build.message(1, "+15550100", 0, phone::kDirectionReceived, "first"), 1546336800000);
  build.deletedMessage(1, "+15550100", phone::kDirectionSent, "no date of its own", "");
  build.deletedConversation(2);
  build.deletedMessage(2, "+15550199", phone::kDirectionReceived, "no date, none before", "");
  build.recoveredMessage("N/A\tN/A\twords without a number");
  const std::string xml = run(ExportFormat::kSmsBackup);
  EXPECT_NE(xml.find("<smses count=\"2\">"), std::string::npos) << xml;
  EXPECT_NE(xml.find("1 deleted messages kept no date: each has the date of the message before it"), std::string::npos);
  EXPECT_NE(xml.find("Left out: 1 deleted messages without a number."), std::string::npos);
  EXPECT_NE(xml.find("Left out: 1 deleted messages with no date, nor a message with one before them."),
            std::string::npos);
  EXPECT_NE(xml.find("date=\"1546336800000\" type=\"2\" subject=\"null\" body=\"no date of its own\""),
            std::string::npos);
  EXPECT_EQ(harness.state.messagesExported, 2);
}

TEST_F(PhoneFilesTest, AFileThatCannotBeMadeFailsTheExportAsTheOtherFormatsDo) {
  build.contact(1, "Ann");
  std::filesystem::create_directory(harness.root() / "contacts.vcf");
  harness.state.exportTotal = CountCheckedRecords(build.records, contacts, messages);
  RunExport(build.records, contacts, messages, harness.state);
  EXPECT_FALSE(harness.state.complete);
  EXPECT_NE(harness.state.failure.find("contacts.vcf"), std::string::npos) << harness.state.failure;
  EXPECT_EQ(harness.state.incomplete, IncompleteExport::kMarked);
}

}  // namespace
}  // namespace records
