// Device acquisition: the copy paths, the four helper command lines and
// their time limits, ending helpers, deleting copies, and a whole
// acquisition from the demo phone through the real helper.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "phone/Acquisition.h"
#include "platform/CommandLine.h"
#include "platform/FileOperations.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/TempDir.h"

namespace phone {
namespace {

using namespace testing_support;
using platform::joinPath;
using std::chrono::milliseconds;

// The test child stands in for the helper in `folder`.
std::string installStandInHelper(const std::string& folder) {
  return installProgram(testChildProgram(), folder, kHelperBaseName);
}

TEST(Acquisition, CopyPathsLieInTwoFoldersBelowTheBase) {
  EXPECT_EQ(DriveRootOf("C:\\Program Files\\Zephyrloom"), "C:\\");
  EXPECT_EQ(DriveRootOf("\\\\server\\share\\Zephyrloom"), "\\\\s") << "the first three characters, whatever they are";

  const std::string base = joinPath("base", "folder");
  const CopyPaths copies = CopyPathsIn(base);
  EXPECT_EQ(copies.contacts, joinPath(joinPath(base, "Zephyrloom"), "contacts2.db"));
  EXPECT_EQ(copies.sms, joinPath(joinPath(base, "zephyrloom-phone-rescue"), "mmssms.db"));
}

TEST(Acquisition, FourCommandLinesInOrderWithTheirLimits) {
  const std::string folder = joinPath("opt", "zr");
  const CopyPaths copies = CopyPathsIn("copies");
  const std::vector<HelperStep> steps = HelperCommandLines(folder, copies);
  ASSERT_EQ(steps.size(), 4u);
  const std::string helper = "\"" + joinPath(folder, HelperFileName()) + "\"";
  const std::string contacts = "/data/data/com.android.providers.contacts/databases/contacts2.db";
  const std::string sms = "/data/data/com.android.providers.telephony/databases/mmssms.db";
  EXPECT_EQ(steps[0].commandLine, helper + " shell su root chmod 777 " + contacts);
  EXPECT_EQ(steps[1].commandLine, helper + " shell su root chmod 777 " + sms);
  EXPECT_EQ(steps[2].commandLine, helper + " pull " + sms + " " + copies.sms);
  EXPECT_EQ(steps[3].commandLine, helper + " pull " + contacts + " " + copies.contacts);
  // A real phone's SMS database takes longer than 3 s over USB, and a pull
  // ended early leaves no copy.
  EXPECT_EQ(steps[0].timeLimit, milliseconds(3000));
  EXPECT_EQ(steps[1].timeLimit, milliseconds(3000));
  EXPECT_EQ(steps[2].timeLimit, milliseconds(600000));
  EXPECT_EQ(steps[3].timeLimit, milliseconds(600000));
}

TEST(Acquisition, LongPathsWithBlanksAreNeitherCutNorSplit) {
  const std::string folder = joinPath(std::string(200, 'p'), "Program Files");
  const CopyPaths copies = CopyPathsIn(joinPath(std::string(150, 'c'), "my copies"));
  const HelperStep pull = HelperCommandLines(folder, copies)[2];
  EXPECT_GT(pull.commandLine.size(), 400u);
  EXPECT_EQ(platform::SplitCommandLine(pull.commandLine),
            (std::vector<std::string>{joinPath(folder, HelperFileName()), "pull", kPhoneSmsDb, copies.sms}));
}

TEST(Acquisition, AllFourStepsReachTheHelperEvenWhenTheyFail) {
  testing_support::TempDir dir;
  const std::string programFolder = joinPath(dir.path(), "Program Files");
  installStandInHelper(programFolder);
  writeBytes(joinPath(programFolder, "exit-status"), "1");
  AcquisitionSettings settings;
  settings.helperFolder = programFolder;
  settings.copies = CopyPathsIn(joinPath(joinPath(dir.path(), "my copies"), std::string(240, 'x')));

  std::vector<platform::ProcessResult> results;
  int ready = 0;
  AcquireThreadProc(
      settings, [&] { ++ready; },
      [&](const HelperStep&, const platform::ProcessResult& result) { results.push_back(result); });
  EXPECT_EQ(ready, 1);
  ASSERT_EQ(results.size(), 4u);
  for (const platform::ProcessResult& result : results) {
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, 1);
  }
  EXPECT_EQ(readBytes(joinPath(programFolder, "calls.txt")),
            std::string("shell|su|root|chmod|777|") + kPhoneContactsDb + "\n" +  //
                "shell|su|root|chmod|777|" + kPhoneSmsDb + "\n" +                 //
                "pull|" + kPhoneSmsDb + "|" + settings.copies.sms + "\n" +        //
                "pull|" + kPhoneContactsDb + "|" + settings.copies.contacts + "\n");
}

TEST(Acquisition, AHangingShellStepIsEndedAtItsLimit) {
  testing_support::TempDir dir;
  installStandInHelper(dir.path());
  writeBytes(joinPath(dir.path(), "hang"), "");
  const HelperStep shell = HelperCommandLines(dir.path(), CopyPathsIn(dir.path()))[0];

  const auto start = std::chrono::steady_clock::now();
  const platform::ProcessResult result = RunHelperCommand(shell.commandLine, shell.timeLimit);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(result.started);
  EXPECT_TRUE(result.timedOut);
  EXPECT_GE(took, milliseconds(3000));
  EXPECT_LT(took, milliseconds(13000));
}

TEST(Acquisition, KillHelperProcessesEndsARunningPull) {
  testing_support::TempDir dir;
  installStandInHelper(dir.path());
  writeBytes(joinPath(dir.path(), "hang"), "");
  const HelperStep pull = HelperCommandLines(dir.path(), CopyPathsIn(dir.path()))[2];

  auto running = std::async(std::launch::async, [&] { return RunHelperCommand(pull.commandLine, pull.timeLimit); });
  ASSERT_TRUE(waitUntil([&] { return platform::isRegularFile(joinPath(dir.path(), "started")); }, milliseconds(20000)));
  EXPECT_GE(KillHelperProcesses(), 1);
  ASSERT_EQ(running.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  const platform::ProcessResult result = running.get();
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, -1);
}

TEST(Acquisition, CopiesGoWithTheirSideFiles) {
  testing_support::TempDir dir;
  const CopyPaths copies = CopyPathsIn(dir.path());
  PrepareCopies(copies);
  EXPECT_TRUE(platform::isDirectory(platform::parentFolder(copies.contacts)));
  EXPECT_FALSE(AnyCopyExists(copies));

  writeBytes(copies.sms, "sms");
  EXPECT_TRUE(AnyCopyExists(copies)) << "one copy is enough to scan";
  const std::vector<std::string> doomed = {copies.contacts, copies.contacts + "-wal", copies.contacts + "-journal",
                                           copies.sms, copies.sms + "-wal", copies.sms + "-journal"};
  for (const std::string& file : doomed) writeBytes(file, "x");
  const std::string unrelated = copies.contacts + ".bak";
  writeBytes(unrelated, "keep");

  DeleteCopies(copies);
  for (const std::string& file : doomed) EXPECT_FALSE(platform::isRegularFile(file)) << file;
  EXPECT_TRUE(platform::isRegularFile(unrelated));
  EXPECT_FALSE(AnyCopyExists(copies));
  DeleteCopies(copies);  // nothing left to delete is no error
}

TEST(Acquisition, DemoPhoneThroughTheRealHelper) {
  testing_support::TempDir dir;
  const std::string programFolder = joinPath(dir.path(), "Zephyrloom Rescue");
  installProgram(helperProgram(), programFolder, kHelperBaseName);
  const std::string phone = joinPath(programFolder, "demo-phone");
  const std::string contactsDb = readBytes(joinPath(demoFolder(), "contacts2.db"));
  const std::string smsDb = readBytes(joinPath(demoFolder(), "mmssms.db"));
  const std::string wal = binaryBytes(4128);
  ASSERT_FALSE(contactsDb.empty());
  writeBytes(phone + "/data/data/com.android.providers.contacts/databases/contacts2.db", contactsDb);
  writeBytes(phone + "/data/data/com.android.providers.contacts/databases/contacts2.db-wal", wal);
  writeBytes(phone + "/data/data/com.android.providers.telephony/databases/mmssms.db", smsDb);

  AcquisitionSettings settings;
  settings.helperFolder = programFolder;
  settings.copies = CopyPathsIn(joinPath(dir.path(), "drive root"));
  PrepareCopies(settings.copies);
  std::vector<int> exitCodes;
  int ready = 0;
  AcquireThreadProc(
      settings, [&] { ++ready; },
      [&](const HelperStep&, const platform::ProcessResult& result) { exitCodes.push_back(result.exitCode); });

  EXPECT_EQ(ready, 1);
  EXPECT_EQ(exitCodes, (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(readBytes(settings.copies.contacts), contactsDb);
  EXPECT_EQ(readBytes(settings.copies.contacts + "-wal"), wal);
  EXPECT_EQ(readBytes(settings.copies.sms), smsDb);
  EXPECT_FALSE(platform::isRegularFile(settings.copies.sms + "-wal"));

  DeleteCopies(settings.copies);
  EXPECT_FALSE(platform::isRegularFile(settings.copies.contacts + "-wal"));
  EXPECT_FALSE(AnyCopyExists(settings.copies));
}

}  // namespace
}  // namespace phone
