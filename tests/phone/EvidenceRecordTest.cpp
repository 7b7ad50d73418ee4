// The record of an acquisition: the record's text and its reading, and the check of copies against it (a changed byte, a
// side file gone or come, a copy never acquired).

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "phone/EvidenceRecord.h"
#include "platform/FileOperations.h"
#include "platform/LocalTime.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"

namespace phone {
namespace {

using testing_support::TempDir;

void writeText(const std::string& path, const std::string& text) {
  platform::createFolders(platform::parentFolder(path));
  testing_support::writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

TEST(EvidenceRecord, TextRoundTripsAndOnlyARecordIsRead) {
  EvidenceRecord record;
  record.acquired = platform::Iso8601LocalTime(1700000000);
  EXPECT_TRUE(std::regex_match(record.acquired, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)")))
      << record.acquired;
  // A phone may answer anything: a line break must not forge a line.
  record.device = {"Pixel\nfile: forged", "14", "0A1B"};
  record.files.push_back({"Zephyrloom/contacts2.db", 4096, std::string(64, 'a')});
  record.files.push_back({"Zephyrloom/contacts2.db-wal", 0, std::string(64, 'b')});
  std::string problem;
  const auto read = ParseEvidence(EvidenceText(record), problem);
  ASSERT_TRUE(read) << problem;
  EXPECT_EQ(read->acquired, record.acquired);
  EXPECT_EQ(read->device.model, "Pixel file: forged");
  EXPECT_EQ(read->device.serial, "0A1B");
  ASSERT_EQ(read->files.size(), 2u);
  EXPECT_EQ(read->files[1].name, "Zephyrloom/contacts2.db-wal");
  EXPECT_EQ(read->files[0].size, 4096u);

  EXPECT_FALSE(ParseEvidence("hello", problem));
  std::string broken = EvidenceText(record);
  broken.replace(broken.find(std::string(64, 'a')), 64, "xyz");
  EXPECT_FALSE(ParseEvidence(broken, problem));
  EXPECT_NE(problem.find("SHA-256"), std::string::npos);

  const DeviceFacts facts = ParseDeviceFacts(
      "[ro.product.model]: [SM-G991B]\r\n[ro.build.version.release]: [13]\n[ro.serialno]: [R5CR]\nnoise\n");
  EXPECT_EQ(facts.model, "SM-G991B");
  EXPECT_EQ(facts.androidVersion, "13");
  EXPECT_EQ(facts.serial, "R5CR");
}

TEST(EvidenceRecord, CopiesAreCheckedByteForByteWithTheirSideFiles) {
  TempDir dir;
  const CopyPaths copies = CopyPathsIn(dir.path());
  writeText(copies.contacts, "contacts bytes");
  writeText(copies.contacts + "-wal", "wal bytes");
  writeText(copies.sms, "sms bytes");
  std::string problem;
  const auto record = RecordCopies(copies, DeviceFacts{"m", "10", "s"}, 1700000000, problem);
  ASSERT_TRUE(record) << problem;
  ASSERT_EQ(record->files.size(), 3u);
  ASSERT_TRUE(WriteEvidence(dir.path(), *record, problem)) << problem;
  EXPECT_EQ(EvidencePathFor(copies.sms), EvidencePathIn(dir.path()));
  EXPECT_TRUE(platform::isRegularFile(EvidencePathIn(dir.path())));
  EXPECT_TRUE(CheckCopy(*record, copies.contacts).empty());
  EXPECT_TRUE(CheckCopy(*record, copies.sms).empty());

  writeText(copies.contacts, "contacts bytez");  // one byte changed, same size
  std::vector<std::string> found = CheckCopy(*record, copies.contacts);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_NE(found[0].find("changed since it was acquired"), std::string::npos) << found[0];

  platform::removeFile(copies.contacts + "-wal");
  writeText(copies.sms + "-journal", "came later");
  EXPECT_EQ(CheckCopy(*record, copies.contacts).size(), 2u) << "changed, and its -wal is missing";
  found = CheckCopy(*record, copies.sms);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_NE(found[0].find("came later"), std::string::npos) << found[0];

  // Only what was acquired this time is recorded.
  const auto partial = RecordCopies(CopyPaths{"", copies.sms}, DeviceFacts{}, 1700000000, problem);
  ASSERT_TRUE(partial);
  EXPECT_EQ(partial->files.size(), 2u) << "mmssms.db and the -journal beside it";
}

}  // namespace
}  // namespace phone
