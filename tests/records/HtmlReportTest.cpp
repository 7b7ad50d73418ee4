// The report: escaping of every text from the phone, the page's guards
// (no script, no load from anywhere), one bubble per message on its side,
// deleted records marked, the evidence section only when given, and a
// long conversation written whole.

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "records/ExportJob.h"
#include "records/HtmlReport.h"
#include "tests/records/ExportTestSupport.h"

namespace records {
namespace {

using namespace records_testing;
namespace fs = std::filesystem;

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

std::string lowered(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

TEST(HtmlEscapedTest, MarkupCharactersBecomeReferencesAndTextStaysText) {
  EXPECT_EQ(HtmlEscaped(""), "");
  EXPECT_EQ(HtmlEscaped("plain 😀 中文"), "plain 😀 中文");
  EXPECT_EQ(HtmlEscaped("&<>\"'"), "&amp;&lt;&gt;&quot;&#39;");
  EXPECT_EQ(HtmlEscaped("<script>alert(1)</script>"), "&lt;script&gt;alert(1)&lt;/script&gt;");
  EXPECT_EQ(HtmlEscaped("\" onmouseover=\"x"), "&quot; onmouseover=&quot;x");
  EXPECT_EQ(HtmlEscaped("&amp;"), "&amp;amp;");
  EXPECT_EQ(HtmlEscaped("a\tb\nc\r\nd"), "a\tb\nc\r\nd");
  EXPECT_EQ(HtmlEscaped(std::string("a\x01" "b\x1B" "c", 5)), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD" "c");
}

class HtmlReportTest : public ::testing::Test {
 protected:
  HtmlReportTest() {
    build.contact(1, "<b>Ann</b> & \"Co\"");
    build.dataRow(1, 1, "+14155550100", "2");
    build.dataRow(1, 2, "<ann@example.com>", "1");
    build.recoveredContact("<i>Gone</i>\t555");
    build.conversation(5);
    phone::SetMessageDate(build.message(5, "+14155550100", 0, phone::kDirectionReceived, "<script>alert(1)</script>",
                                        "2019-01-13 16:54:50"),
                          1547394890000);
    build.message(5, "+14155550100", 0, phone::kDirectionSent, "<img src=x onerror=alert(1)>", "2019-01-13 16:55:00");
    build.message(5, "+14155550100", 0, phone::kDirectionSent, "", "2019-01-14 08:00:00").typeCode = 5;
    phone::SetMessageDate(build.deletedMessage(5, "+14155550100", phone::kDirectionSent, "deleted in its place",
                                               "2019-01-14 08:01:00", RecordBuilder::kWal),
                          1547452860000);
    build.recoveredMessage("N/A\t+14155550100\tdeleted </p></div><script>x()</script>");
  }

  std::string report(const ReportOptions& options = ReportOptions()) {
    harness.state.exportTotal = CountCheckedRecords(build.records, contacts, messages);
    EXPECT_EQ(ExportReport(build.records, contacts, messages, options, harness.state), 4)
        << "two contacts, the conversation and the one of messages without a conversation";
    return fileBytes(harness.root() / "report.html");
  }

  RecordBuilder build;
  ExportHarness harness;
  ExportCategory contacts{u"Contacts", true, true};
  ExportCategory messages{u"Message", true, true};
};

TEST_F(HtmlReportTest, NoTextFromThePhoneBecomesMarkup) {
  const std::string html = report();
  const std::string lower = lowered(html);
  EXPECT_EQ(lower.find("<script"), std::string::npos);
  EXPECT_EQ(lower.find("<img"), std::string::npos);
  EXPECT_EQ(lower.find("<b>ann"), std::string::npos);
  EXPECT_EQ(lower.find("<i>"), std::string::npos);
  EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
  EXPECT_NE(html.find("&lt;img src=x onerror=alert(1)&gt;"), std::string::npos);
  EXPECT_NE(html.find("&lt;b&gt;Ann&lt;/b&gt; &amp; &quot;Co&quot;"), std::string::npos);
  EXPECT_NE(html.find("&lt;ann@example.com&gt;"), std::string::npos);
  EXPECT_NE(html.find("deleted &lt;/p&gt;&lt;/div&gt;&lt;script&gt;x()&lt;/script&gt;"), std::string::npos);
}

TEST_F(HtmlReportTest, ThePageStandsAloneAndForbidsScriptsAndLoads) {
  const std::string html = report();
  EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
  // A browser looks for the encoding in the first 1024 bytes.
  EXPECT_LT(html.find("<meta charset=\"utf-8\">"), 1024u);
  EXPECT_NE(html.find("content=\"default-src 'none'; style-src 'unsafe-inline'; img-src data:;"), std::string::npos);
  EXPECT_EQ(html.find("http://"), std::string::npos);
  EXPECT_EQ(html.find("https://"), std::string::npos);
  EXPECT_EQ(html.find("src="), html.find("src=x onerror"));
  EXPECT_EQ(html.substr(html.size() - 8), "</html>\n");
}

TEST_F(HtmlReportTest, EveryMessageIsOneBubbleOnItsSide) {
  const std::string html = report();
  EXPECT_EQ(occurrences(html, "<div class=\"msg in\">"), 1u);
  EXPECT_EQ(occurrences(html, "<div class=\"msg out\">"), 2u);
  EXPECT_EQ(occurrences(html, "<div class=\"msg out del\">"), 1u) << "a deleted message keeps its side";
  EXPECT_EQ(occurrences(html, "<div class=\"msg unknown del\">"), 1u) << "one of no known side";
  // The day opens once per day; the time stands in the bubble.
  EXPECT_EQ(occurrences(html, "<p class=\"day\">2019-01-13</p>"), 1u);
  EXPECT_EQ(occurrences(html, "<p class=\"day\">2019-01-14</p>"), 1u);
  EXPECT_NE(html.find(">16:54:50</time>"), std::string::npos);
  EXPECT_NE(html.find("<p class=\"meta\">no date</p>"), std::string::npos);
  // A message that never left says so; an empty one still has its bubble.
  EXPECT_NE(html.find(" · Failed</p>"), std::string::npos);
  EXPECT_NE(html.find("<p class=\"body empty\">(no text)</p>"), std::string::npos);
}

TEST_F(HtmlReportTest, DeletedRecordsAreMarkedWithTheirSourceInTheirConversation) {
  const std::string html = report();
  EXPECT_EQ(occurrences(html, "<tr class=\"deleted\">"), 1u);
  EXPECT_EQ(occurrences(html, "<span class=\"badge\">Deleted</span>free space"), 2u);
  // Inside its conversation, after the message before it, with its time.
  const std::size_t deleted = html.find("<span class=\"badge\">Deleted</span>WAL · <time");
  ASSERT_NE(deleted, std::string::npos);
  EXPECT_LT(html.find("(no text)"), deleted);
  EXPECT_LT(deleted, html.rfind("Recovered text without sender")) << "the live conversation comes first";
  EXPECT_NE(html.find("<li><b>2</b> deleted messages</li>"), std::string::npos);
}

TEST_F(HtmlReportTest, TheEvidenceSectionIsThereOnlyWhenGiven) {
  EXPECT_EQ(report().find("id=\"evidence\""), std::string::npos);
  ExportHarness second;
  harness.state.outputFolder = second.state.outputFolder;
  ReportOptions options;
  options.evidence = {{"Model", "Pixel <7>"}, {"SHA-256 of mmssms.db", "9f86d081884c7d65"}};
  const std::string html = report(options);
  EXPECT_NE(html.find("<section id=\"evidence\">"), std::string::npos);
  EXPECT_NE(html.find("<tr><th>Model</th><td>Pixel &lt;7&gt;</td></tr>"), std::string::npos);
  EXPECT_NE(html.find("<tr><th>SHA-256 of mmssms.db</th><td>9f86d081884c7d65</td></tr>"), std::string::npos);
  EXPECT_NE(html.find("<a href=\"#evidence\">Evidence</a>"), std::string::npos);
}

TEST(ReportFactsTest, TheAcquisitionRecordBecomesTheEvidenceLines) {
  phone::EvidenceRecord record;
  record.acquired = "2026-12-08T09:15:00+01:00";
  record.device.model = "Pixel 4a";
  record.device.serial = "0A1B";
  record.files = {{"Zephyrloom/contacts2.db", 299008, "5f3c"}, {"Zephyrloom/contacts2.db-wal", 0, "e3b0"}};
  const std::vector<ReportFact> facts = ReportFactsOf(record);
  ASSERT_EQ(facts.size(), 6u);
  EXPECT_EQ(facts[0].label + "=" + facts[0].value, "Acquired=2026-12-08T09:15:00+01:00");
  EXPECT_EQ(facts[1].label + "=" + facts[1].value, "Phone model=Pixel 4a");
  EXPECT_EQ(facts[2].label + "=" + facts[2].value, "Android version=(not given)");
  EXPECT_EQ(facts[3].label + "=" + facts[3].value, "Serial number=0A1B");
  EXPECT_EQ(facts[4].label + "=" + facts[4].value, "Zephyrloom/contacts2.db=299008 bytes, SHA-256 5f3c");
  EXPECT_EQ(facts[5].label + "=" + facts[5].value, "Zephyrloom/contacts2.db-wal=0 bytes, SHA-256 e3b0");
}

TEST_F(HtmlReportTest, ATakenNameFailsTheExport) {
  fs::create_directory(harness.root() / "report.html");
  harness.state.exportTotal = 4;
  ExportOptions options;
  options.format = ExportFormat::kReport;
  RunExport(build.records, contacts, messages, harness.state, options);
  EXPECT_FALSE(harness.state.complete);
  EXPECT_NE(harness.state.failure.find("report.html"), std::string::npos) << harness.state.failure;
  EXPECT_EQ(harness.state.incomplete, IncompleteExport::kMarked);
}

TEST(HtmlReportLongTest, AConversationOfManyMessagesIsWrittenWhole) {
  RecordBuilder build;
  build.conversation(1);
  constexpr int kMessages = 5000;
  for (int k = 0; k < kMessages; ++k) {
    build.message(1, "555", 0, k % 2 == 0 ? phone::kDirectionReceived : phone::kDirectionSent,
                  "message number " + std::to_string(k), "2020-02-02 10:00:00");
  }
  ExportHarness harness;
  const ExportCategory contacts{u"Contacts", true, false};
  const ExportCategory messages{u"Message", true, true};
  ASSERT_EQ(ExportReport(build.records, contacts, messages, ReportOptions(), harness.state), 1);
  const std::string html = fileBytes(harness.root() / "report.html");
  EXPECT_EQ(occurrences(html, "<div class=\"msg "), static_cast<std::size_t>(kMessages));
  EXPECT_NE(html.find("message number 4999</p>"), std::string::npos);
  EXPECT_EQ(html.find("id=\"contacts\""), std::string::npos);
  EXPECT_EQ(html.substr(html.size() - 8), "</html>\n");
}

}  // namespace
}  // namespace records
