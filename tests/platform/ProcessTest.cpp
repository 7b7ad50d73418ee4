// The process runner: exit status, output, arguments, the time limit, and
// ending our children by name, with whatever they started.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "platform/CommandLine.h"
#include "platform/FileOperations.h"
#include "platform/Process.h"
#include "platform/ProgramLocation.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/TempDir.h"

namespace platform {
namespace {

using namespace testing_support;
using std::chrono::milliseconds;

ProcessResult run(const std::vector<std::string>& argv, milliseconds limit = milliseconds(30000),
                  bool capture = false, const std::string& outputFile = std::string()) {
  ProcessOptions options;
  options.timeLimit = limit;
  options.captureOutput = capture;
  options.outputFile = outputFile;
  return RunProcess(argv, options);
}

std::int64_t pidIn(const std::string& file) {
  const std::string text = readBytes(file);
  return text.empty() ? 0 : std::stoll(text);
}

TEST(Process, ExitStatusOutputAndStartFailures) {
  const ProcessResult seven = run({testChildProgram(), "exit", "7"});
  EXPECT_TRUE(seven.started);
  EXPECT_FALSE(seven.timedOut);
  EXPECT_EQ(seven.exitCode, 7);

  EXPECT_EQ(run({testChildProgram(), "print", "hello"}, milliseconds(30000), true).output, "hello");
  EXPECT_EQ(run({testChildProgram(), "print-error", "oops"}, milliseconds(30000), true).output, "oops");

  testing_support::TempDir dir;
  const ProcessResult missing = run({joinPath(dir.path(), "no-such-program")});
  EXPECT_FALSE(missing.started);
  EXPECT_EQ(missing.exitCode, -1);
  EXPECT_NE(missing.error.find("no-such-program"), std::string::npos) << missing.error;
}

TEST(Process, OutputFileGetsTheBytesUnchanged) {
  testing_support::TempDir dir;
  const std::string file = joinPath(dir.path(), "out.bin");
  writeBytes(file, std::string(5000, 'x'));  // emptied first
  const ProcessResult result = run({testChildProgram(), "bytes", "1000"}, milliseconds(30000), true, file);
  EXPECT_EQ(result.exitCode, 0);
  std::string expected(1000, '\0');
  for (std::size_t index = 0; index < expected.size(); ++index) expected[index] = static_cast<char>(index % 256);
  EXPECT_EQ(readBytes(file), expected) << "no line-end translation, nothing left of the old file";
  EXPECT_EQ(result.output, "done") << "standard error is collected apart from the file";

  const ProcessResult unwritable = run({testChildProgram(), "exit", "0"}, milliseconds(30000), false,
                                       joinPath(joinPath(dir.path(), "missing folder"), "out.bin"));
  EXPECT_FALSE(unwritable.started);
}

TEST(Process, ArgumentsArriveIntactThroughAFolderWithBlanks) {
  testing_support::TempDir dir;
  const std::string child = installProgram(testChildProgram(), joinPath(dir.path(), "Program Files"), "child");
  const std::vector<std::string> tricky = {"two words", "say \"hi\"", "C:\\end\\", "", "%TEMP%"};
  std::vector<std::string> argv = {child, "args", joinPath(dir.path(), "via-line.txt")};
  argv.insert(argv.end(), tricky.begin(), tricky.end());
  std::string expected;
  for (const std::string& argument : tricky) expected += argument + "\n";

  EXPECT_EQ(RunProcess(BuildCommandLine(argv), ProcessOptions()).exitCode, 0);
  EXPECT_EQ(readBytes(joinPath(dir.path(), "via-line.txt")), expected);
  argv[2] = joinPath(dir.path(), "via-argv.txt");
  EXPECT_EQ(run(argv).exitCode, 0);
  EXPECT_EQ(readBytes(joinPath(dir.path(), "via-argv.txt")), expected);
}

TEST(Process, AProgramThatHangsIsEndedAtItsLimit) {
  const auto start = std::chrono::steady_clock::now();
  const ProcessResult result = run({testChildProgram(), "hang"}, milliseconds(500));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(result.started);
  EXPECT_TRUE(result.timedOut);
  EXPECT_EQ(result.exitCode, -1);
  EXPECT_GE(took, milliseconds(500));
  EXPECT_LT(took, milliseconds(10500));
}

// The adb helper leaves adb in its own group (so that ending the helper ends
// adb); adb's time limit must still end what adb started.
TEST(Process, ATimeLimitInOurGroupEndsWhatTheChildStarted) {
  testing_support::TempDir dir;
  const std::string grandchildPid = joinPath(dir.path(), "grandchild.pid");
  ProcessOptions options;
  options.timeLimit = milliseconds(5000);
  options.ownGroup = false;
  const ProcessResult result = RunProcess({testChildProgram(), "tree", grandchildPid}, options);
  EXPECT_TRUE(result.timedOut);
  ASSERT_NE(pidIn(grandchildPid), 0) << "the child started its own child within its limit";
  EXPECT_TRUE(waitUntil([&] { return !IsProcessRunning(pidIn(grandchildPid)); }, milliseconds(10000)))
      << "the grandchild outlived the time limit";
}

TEST(Process, EndingByNameEndsOnlyThatProgramWithWhatItStarted) {
  testing_support::TempDir dir;
  const std::string victim = installProgram(testChildProgram(), dir.path(), "zr-victim");
  const std::string bystander = installProgram(testChildProgram(), dir.path(), "zr-bystander");
  const std::string grandchildPid = joinPath(dir.path(), "grandchild.pid");
  const std::string bystanderPid = joinPath(dir.path(), "bystander.pid");

  auto victimRun = std::async(std::launch::async, [&] { return run({victim, "tree", grandchildPid}); });
  auto bystanderRun = std::async(std::launch::async, [&] { return run({bystander, "hang-pid", bystanderPid}); });
  ASSERT_TRUE(waitUntil([&] { return pidIn(grandchildPid) != 0 && pidIn(bystanderPid) != 0; }, milliseconds(20000)));
  EXPECT_TRUE(IsProcessRunning(pidIn(grandchildPid)));

  EXPECT_GE(EndProcessesNamed(fileNameOf(victim)), 1);
  ASSERT_EQ(victimRun.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  const ProcessResult ended = victimRun.get();
  EXPECT_FALSE(ended.timedOut);
  EXPECT_EQ(ended.exitCode, -1);
  EXPECT_TRUE(waitUntil([&] { return !IsProcessRunning(pidIn(grandchildPid)); }, milliseconds(10000)))
      << "what the ended program started ends too";

  EXPECT_EQ(bystanderRun.wait_for(milliseconds(0)), std::future_status::timeout);
  EXPECT_TRUE(IsProcessRunning(pidIn(bystanderPid))) << "another program is left alone";
  EXPECT_EQ(EndProcessesNamed(fileNameOf(bystander)), 1);
  ASSERT_EQ(bystanderRun.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  EXPECT_EQ(EndProcessesNamed(fileNameOf(bystander)), 0) << "nothing of that name runs any more";
}

}  // namespace
}  // namespace platform
