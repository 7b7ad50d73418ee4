// The spreadsheet export: the quoting of one field and the guard against
// formulas, then whole files of hand-built records byte for byte, and how
// the export ends when it is stopped or a file cannot be made.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "phone/MessageTime.h"
#include "records/CsvExport.h"
#include "records/ExportJob.h"
#include "tests/records/ExportTestSupport.h"

namespace records {
namespace {

using namespace records_testing;
namespace fs = std::filesystem;

constexpr char kBom[] = "\xEF\xBB\xBF";

TEST(CsvFieldTest, QuotesOnlyWhatRfc4180NeedsQuoted) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"", ""},
      {"plain text", "plain text"},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"\"", "\"\"\"\""},
      {"one\r\ntwo", "\"one\r\ntwo\""},
      {"one\ntwo", "\"one\ntwo\""},
      {"one\rtwo", "\"one\rtwo\""},
      {"tab\tinside", "tab\tinside"},
      {"trailing space ", "trailing space "},
      {"😀🎉 中文 Ünïcode", "😀🎉 中文 Ünïcode"},
      {"\xEF\xBF\xBD", "\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvField(c.in), c.out) << c.in;
}

TEST(CsvFieldTest, ACellThatASpreadsheetWouldEvaluateIsWrittenAsText) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"=1+1", "'=1+1"},
      {"+14155550100", "'+14155550100"},
      {"+1 (415) 555-0100", "'+1 (415) 555-0100"},
      {"-2", "'-2"},
      {"@SUM(A1:A9)", "'@SUM(A1:A9)"},
      {"\t=1+1", "'\t=1+1"},
      {"\r=1+1", "\"'\r=1+1\""},
      {"=HYPERLINK(\"http://x.example\",\"y\")", "\"'=HYPERLINK(\"\"http://x.example\"\",\"\"y\"\")\""},
      {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
      {"+1,2", "\"'+1,2\""},
      // Not at the start, or not one of the six: nothing to guard.
      {"1+1=2", "1+1=2"},
      {" =1+1", " =1+1"},
      {"'=1+1", "'=1+1"},
      {"4155550100", "4155550100"},
      {"\n=1", "\"\n=1\""},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvField(c.in), c.out) << c.in;
}

class CsvExportTest : public ::testing::Test {
 protected:
  CsvExportTest() {
    everyContact.push_back(&build.contact(1, "Ann"));
    build.dataRow(1, 1, "+14155550100", "2");
    build.dataRow(1, 2, "ann@example.com", "1");
    build.dataRow(1, 3, "Acme, Inc.", nullptr);
    build.dataRow(1, 4, "Ann Lee", nullptr);  // a name row: no detail
    everyContact.push_back(&build.contact(2, "王小明", 20));  // named from a number, still named
    build.dataRow(2, 1, "13800138000", "99");
    everyContact.push_back(&build.contact(3, "No details"));
    everyContact.push_back(&build.contact(4, "Unchecked"));
    everyContact.back()->checked = 0;
    build.dataRow(4, 1, "000", "2");
    everyContact.push_back(&build.deletedContact("Kenji", RecordBuilder::kWal | RecordBuilder::kFreeSpace));
    build.deletedValue(everyContact.back()->contactKey, 1, "555 0101", "0").label = "Dojo";
    build.deletedValue(everyContact.back()->contactKey, 2, "k@example.jp", "2");
    everyContact.push_back(&build.recoveredContact("Bo\t555 0101\textra"));

    build.conversation(7);
    build.conversation(8).checked = 0;
    build.conversation(9);
    auto& first = build.message(7, "+8613800138000", 0, phone::kDirectionReceived, "=1+1, said \"he\"");
    first.typeCode = 1;
    phone::SetMessageDate(first, 1547394890000);
    auto& deleted = build.deletedMessage(7, "+8613800138000", phone::kDirectionReceived, "gone but found", "t",
                                         RecordBuilder::kWal);
    deleted.typeCode = 1;
    phone::SetMessageDate(deleted, 1547394900000);
    auto& second = build.message(7, "+8613800138000", 0, phone::kDirectionSent, "line one\r\nline two");
    second.typeCode = 3;
    phone::SetMessageDate(second, 1547394950000);
    build.message(8, "999", 0, phone::kDirectionReceived, "not checked");
    auto& bad = build.message(9, "55501", 0, phone::kDirectionReceived, "");
    bad.body = build.bytes("bad \xC3\x28 byte");
    build.recoveredMessage("N/A\t+14155550100\t<script>gone()</script>, it said");
  }

  std::int32_t run(ExportFormat format = ExportFormat::kSpreadsheet) {
    harness.state.exportTotal = CountCheckedRecords(build.records, contacts, messages);
    ExportOptions options;
    options.format = format;
    return RunExport(build.records, contacts, messages, harness.state, options);
  }

  RecordBuilder build;
  std::vector<phone::ContactRecord*> everyContact;
  ExportHarness harness;
  ExportCategory contacts{u"Contacts", true, true};
  ExportCategory messages{u"Message", true, true};
};

TEST_F(CsvExportTest, ContactsHaveARowPerDetailAndEveryContactARow) {
  ASSERT_EQ(run(), 8);
  EXPECT_TRUE(harness.state.complete);
  EXPECT_EQ(harness.state.filesWritten, 2);
  EXPECT_EQ(fileBytes(harness.root() / "contacts.csv"),
            std::string(kBom) +
                "Record,State,Source,Name,Kind,Type,Value\r\n"
                "1,live,live,Ann,phone,Mobile,'+14155550100\r\n"
                "1,live,live,Ann,e-mail,Home Email,ann@example.com\r\n"
                "1,live,live,Ann,company,Company,\"Acme, Inc.\"\r\n"
                "2,live,live,王小明,phone,,13800138000\r\n"
                "3,live,live,No details,,,\r\n"
                "4,deleted,WAL; free space,Kenji,phone,Dojo,555 0101\r\n"
                "4,deleted,WAL; free space,Kenji,e-mail,Work Email,k@example.jp\r\n"
                "5,deleted,free space,Bo,,,555 0101\textra\r\n");
}

TEST_F(CsvExportTest, MessagesHaveARowEachWithTheirDateDirectionAndSource) {
  ASSERT_EQ(run(), 8);
  const std::string first = phone::FormatIsoMessageTime(1547394890000);
  const std::string deleted = phone::FormatIsoMessageTime(1547394900000);
  const std::string second = phone::FormatIsoMessageTime(1547394950000);
  ASSERT_EQ(first.size(), 25u) << first;
  EXPECT_EQ(fileBytes(harness.root() / "messages.csv"),
            std::string(kBom) +
                "State,Source,Name,Number,Type,Date,Direction,Body\r\n"
                "live,live,王小明,'+8613800138000,Inbox," + first + ",received,\"'=1+1, said \"\"he\"\"\"\r\n"
                "deleted,WAL,王小明,'+8613800138000,Inbox," + deleted + ",received,gone but found\r\n"
                "live,live,王小明,'+8613800138000,Draft," + second + ",sent,\"line one\r\nline two\"\r\n"
                "live,live,,55501,,,received,bad \xEF\xBF\xBD( byte\r\n"
                "deleted,free space,Ann,'+14155550100,,,,\"<script>gone()</script>, it said\"\r\n");
}

TEST_F(CsvExportTest, ProgressStepsOncePerRecordAsTheTextExportDoes) {
  ASSERT_EQ(run(), 8);
  EXPECT_EQ(harness.state.progressCount, harness.state.exportTotal);
  ASSERT_EQ(harness.positions.size(), 8u);
  EXPECT_EQ(harness.positions.back(), 100);
}

TEST_F(CsvExportTest, ACategoryWithNothingCheckedGetsNoFile) {
  for (phone::ContactRecord* contact : everyContact) contact->checked = 0;
  ASSERT_EQ(run(), 3);
  EXPECT_EQ(namesIn(harness.root()), (Lines{u"messages.csv"}));
}

TEST_F(CsvExportTest, AStopEndsTheExportAndMarksItIncomplete) {
  harness.afterStep = [this] {
    if (harness.state.progressCount == 2) harness.stop.store(1);
  };
  run();
  EXPECT_FALSE(harness.state.complete);
  EXPECT_EQ(harness.state.progressCount, 2);
  EXPECT_EQ(harness.state.incomplete, IncompleteExport::kMarked);
  EXPECT_TRUE(fs::exists(harness.root() / kIncompleteMarkerName));
  EXPECT_FALSE(fs::exists(harness.root() / "messages.csv"));
}

TEST_F(CsvExportTest, ANameThatIsTakenFailsTheExportAndIsNamed) {
  fs::create_directory(harness.root() / "messages.csv");
  run();
  EXPECT_FALSE(harness.state.complete);
  EXPECT_NE(harness.state.failure.find("messages.csv"), std::string::npos) << harness.state.failure;
  EXPECT_EQ(harness.state.incomplete, IncompleteExport::kMarked);
  const Lines marker = exportLines(harness.root() / kIncompleteMarkerName);
  ASSERT_FALSE(marker.empty());
  EXPECT_NE(marker[0].find(u"messages.csv"), std::u16string::npos);
}

TEST_F(CsvExportTest, TheTextFormatStaysTheDefault) {
  harness.state.exportTotal = CountCheckedRecords(build.records, contacts, messages);
  ASSERT_EQ(RunExport(build.records, contacts, messages, harness.state), 8);
  EXPECT_EQ(namesIn(harness.root()), (Lines{u"Contacts", u"Message", u"contacts.vcf", u"messages.xml"}))
      << "the text files, and beside them the files a phone takes back";
}

TEST(ExportFormatTest, NamesOfTheFormats) {
  ExportFormat format = ExportFormat::kReport;
  ASSERT_TRUE(ExportFormatNamed("text", format));
  EXPECT_EQ(format, ExportFormat::kText);
  ASSERT_TRUE(ExportFormatNamed("csv", format));
  EXPECT_EQ(format, ExportFormat::kSpreadsheet);
  ASSERT_TRUE(ExportFormatNamed("html", format));
  EXPECT_EQ(format, ExportFormat::kReport);
  EXPECT_FALSE(ExportFormatNamed("CSV", format));
  EXPECT_FALSE(ExportFormatNamed("", format));
  EXPECT_EQ(format, ExportFormat::kReport);
}

}  // namespace
}  // namespace records
