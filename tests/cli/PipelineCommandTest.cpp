// The command line end to end on the demo phone: acquire, scan, export, and
// clear failures for bad arguments and missing files.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"

using testing_support::TempDir;

namespace {

// Runs the program with arguments; its exit status.
int run(const std::string& arguments, const TempDir& dir) {
  const std::string command = "cd . && \"" + std::string(ZR_CLI_PATH) + "\" " + arguments + " > \"" +
                              dir.file("stdout.txt") + "\" 2> \"" + dir.file("stderr.txt") + "\"";
  const int status = std::system(command.c_str());
#ifdef WEXITSTATUS
  return WEXITSTATUS(status);
#else
  return status;
#endif
}

std::string text(const std::string& path) {
  const auto bytes = testing_support::readFile(path);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(PipelineCommands, DemoWritesAnExportOfUtf16Files) {
  TempDir dir;
  ASSERT_EQ(run("demo --carve-only --out \"" + dir.file("out") + "\"", dir), 0) << text(dir.file("stderr.txt"));
  const std::string out = text(dir.file("stdout.txt"));
  EXPECT_NE(out.find("Contacts (59): 40 live contacts, 19 deleted records"), std::string::npos) << out;
  EXPECT_NE(out.find("Exported 59 contacts and 290 messages in "), std::string::npos) << out;
  int contactFiles = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.file("out"))) {
    if (entry.path().filename() != "contacts.txt") continue;
    ++contactFiles;
    const std::string bytes = text(entry.path().string());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE", 2));
  }
  EXPECT_EQ(contactFiles, 1);
}

// By default the deleted records are whole: on the demo phone its ten
// deleted contacts and 35 deleted messages, each once.
TEST(PipelineCommands, DemoAndScanMakeWholeRecordsUnlessCarveOnly) {
  TempDir dir;
  ASSERT_EQ(run("demo --out \"" + dir.file("out") + "\"", dir), 0) << text(dir.file("stderr.txt"));
  std::string out = text(dir.file("stdout.txt"));
  EXPECT_NE(out.find("Contacts (50): 40 live contacts, 10 deleted records"), std::string::npos) << out;
  EXPECT_NE(out.find("Message (47): 12 conversations (263 live messages), 35 deleted messages"), std::string::npos)
      << out;
  EXPECT_NE(out.find("Exported 50 contacts and 298 messages in "), std::string::npos) << out;

  const std::string copies = "\"" + std::string(ZR_SOURCE_DIR) + "/demo/contacts2.db\" \"" +
                             std::string(ZR_SOURCE_DIR) + "/demo/mmssms.db\"";
  ASSERT_EQ(run("scan " + copies, dir), 0);
  EXPECT_NE(text(dir.file("stdout.txt")).find("10 deleted records"), std::string::npos);
  ASSERT_EQ(run("scan --carve-only " + copies, dir), 0);
  out = text(dir.file("stdout.txt"));
  EXPECT_NE(out.find("40 live contacts, 19 deleted records"), std::string::npos) << out;
  EXPECT_NE(out.find("27 deleted messages"), std::string::npos) << out;
}

TEST(PipelineCommands, BadArgumentsAndMissingFilesExitWithTwo) {
  TempDir dir;
  EXPECT_EQ(run("scan", dir), 2);
  EXPECT_EQ(run("scan \"" + dir.file("none.db") + "\" \"" + dir.file("mmssms.db") + "\"", dir), 2);
  EXPECT_NE(text(dir.file("stderr.txt")).find("no such file"), std::string::npos);
  EXPECT_EQ(run("export a b", dir), 2);
  EXPECT_NE(text(dir.file("stderr.txt")).find("--out"), std::string::npos);
  EXPECT_EQ(run("acquire", dir), 2);
  EXPECT_EQ(run("demo --bogus", dir), 2);
  EXPECT_EQ(run("frobnicate", dir), 2);
}

TEST(PipelineCommands, CopiesThatCannotBeReadAreNoEmptySuccess) {
  TempDir dir;
  for (const char* name : {"contacts2.db", "mmssms.db"}) {
    testing_support::writeFile(dir.file(name), std::vector<std::uint8_t>(4096, 0x5A));
  }
  EXPECT_EQ(run("export \"" + dir.file("contacts2.db") + "\" \"" + dir.file("mmssms.db") + "\" --out \"" +
                    dir.file("out") + "\"",
                dir),
            1);
  EXPECT_NE(text(dir.file("stderr.txt")).find("could not be read"), std::string::npos) << text(dir.file("stderr.txt"));
  EXPECT_EQ(text(dir.file("stdout.txt")).find("Nothing to export"), std::string::npos);
}

TEST(PipelineCommands, ProgressIsALineEveryTenthWhenNotOnATerminal) {
  TempDir dir;
  const std::string demo = std::string(ZR_SOURCE_DIR) + "/demo/";
  ASSERT_EQ(run("scan \"" + demo + "contacts2.db\" \"" + demo + "mmssms.db\"", dir), 0);
  std::string progress = text(dir.file("stderr.txt"));
  // Windows writes the standard streams in text mode: each line ends in CR LF.
  for (std::size_t at = progress.find("\r\n"); at != std::string::npos; at = progress.find("\r\n", at)) {
    progress.erase(at, 1);
  }
  EXPECT_EQ(progress.find('\r'), std::string::npos) << "no redrawing into a file";
  int lines = 0;
  for (std::size_t at = progress.find("Scanning ["); at != std::string::npos; at = progress.find("Scanning [", at + 1)) {
    ++lines;
  }
  EXPECT_GE(lines, 10);
  EXPECT_LE(lines, 11);
  EXPECT_NE(progress.find("] 100%\n"), std::string::npos);
}

TEST(PipelineCommands, TheAcquisitionRecordTravelsWithTheExportAndAChangedCopyIsRefused) {
  TempDir dir;
  ASSERT_EQ(run("demo --out \"" + dir.file("out") + "\"", dir), 0) << text(dir.file("stderr.txt"));
  const std::string out = text(dir.file("stdout.txt"));
  EXPECT_NE(out.find("model: Zephyrloom demo phone"), std::string::npos) << out;
  const std::filesystem::path phoneFolder = std::filesystem::path(dir.file("out")) / "phone";
  const std::string record = text((phoneFolder / "zephyrloom-evidence.txt").string());
  EXPECT_NE(record.find("file: Zephyrloom/contacts2.db"), std::string::npos) << record;
  int copiesOfTheRecord = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.file("out"))) {
    if (entry.path().filename() == "zephyrloom-evidence.txt" && entry.path().parent_path() != phoneFolder) {
      ++copiesOfTheRecord;
      EXPECT_EQ(text(entry.path().string()), record);
    }
  }
  EXPECT_EQ(copiesOfTheRecord, 1) << "the export holds a copy of the record";

  const std::string contacts = (phoneFolder / "Zephyrloom" / "contacts2.db").string();
  const std::string sms = (phoneFolder / "zephyrloom-phone-rescue" / "mmssms.db").string();
  const std::string copies = "\"" + contacts + "\" \"" + sms + "\"";
  ASSERT_EQ(run("scan " + copies, dir), 0) << text(dir.file("stderr.txt"));
  // One byte changed after the acquisition.
  std::vector<std::uint8_t> bytes = testing_support::readFile(contacts);
  bytes[5000] ^= 0x01;
  testing_support::writeFile(contacts, bytes);
  EXPECT_EQ(run("scan " + copies, dir), 1);
  const std::string said = text(dir.file("stderr.txt"));
  EXPECT_NE(said.find("changed since it was acquired"), std::string::npos) << said;
  EXPECT_NE(said.find("they are not read"), std::string::npos) << said;
  EXPECT_EQ(text(dir.file("stdout.txt")).find("live contacts"), std::string::npos) << "nothing was scanned";
  EXPECT_EQ(run("export " + copies + " --out \"" + dir.file("again") + "\"", dir), 1);
  EXPECT_FALSE(std::filesystem::exists(dir.file("again")));
}
