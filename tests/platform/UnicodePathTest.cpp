// Names and arguments that no ANSI code page holds whole (Chinese, an
// emoji, accents). The test programs carry no manifest, so under Wine they
// run with the locale's ANSI code page (1252 or 936), as on a system that
// ignores the programs' UTF-8 declaration: nothing may be lost either way.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/BinaryFile.h"
#include "platform/FileOperations.h"
#include "platform/NewFile.h"
#include "platform/Process.h"
#include "platform/ProgramLocation.h"
#include "platform/RandomAccessFile.h"
#include "platform/TextEncoding.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/TempDir.h"

namespace platform {
namespace {

using namespace testing_support;

const std::string kName = "收到 Zoë 😀";

TEST(UnicodePaths, FileOperationsFindTheFilesTheyMade) {
  testing_support::TempDir dir;
  const std::string folder = joinPath(joinPath(dir.path(), kName), "张伟");
  ASSERT_TRUE(createFolders(folder));
  EXPECT_TRUE(isDirectory(folder));
  EXPECT_EQ(fileNameOf(folder), "张伟");

  const std::string file = joinPath(folder, kName + ".db");
  writeBytes(file, "twelve bytes");
  EXPECT_TRUE(fileExists(file));
  EXPECT_TRUE(isRegularFile(file));
  EXPECT_EQ(regularFileSize(file), 12u);
  RandomAccessFile reader;
  ASSERT_TRUE(reader.open(file));
  std::uint8_t first[6] = {};
  EXPECT_EQ(reader.readAt(0, first, sizeof first), sizeof first);
  EXPECT_EQ(std::string(first, first + sizeof first), "twelve");
  reader.close();

  const std::string copy = joinPath(folder, "副本 😀.db");
  ASSERT_TRUE(copyFile(file, copy));
  EXPECT_EQ(readBytes(copy), "twelve bytes");
  const std::string moved = joinPath(dir.path(), "移动 é.db");
  ASSERT_TRUE(replaceFile(copy, moved));
  EXPECT_FALSE(fileExists(copy));
  EXPECT_EQ(readBytes(moved), "twelve bytes");
  EXPECT_TRUE(removeFile(moved));
  EXPECT_FALSE(fileExists(moved));

  // The narrow name is the one the wide functions see: the export side
  // names files by UTF-16.
  std::string reason;
  EXPECT_FALSE(createNewFolder(utf16FromNarrow(folder), reason)) << "exists already under its wide name";
  EXPECT_TRUE(isNameTakenReason(reason)) << reason;

  ASSERT_TRUE(removeFolderTree(joinPath(dir.path(), kName)));
  EXPECT_FALSE(fileExists(file));
  EXPECT_FALSE(openBinaryFile(file, BinaryFileMode::kRead));
}

TEST(UnicodePaths, AChildGetsItsArgumentsAndOutputFileWhole) {
  testing_support::TempDir dir;
  const std::string child = installProgram(testChildProgram(), joinPath(dir.path(), kName), "child");
  const std::vector<std::string> arguments = {kName, "你好！下周见", "Ünïcödé \"quoted\""};
  std::vector<std::string> argv = {child, "args", joinPath(dir.path(), kName + ".txt")};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::string expected;
  for (const std::string& argument : arguments) expected += argument + "\n";

  ProcessOptions options;
  const ProcessResult result = RunProcess(argv, options);
  ASSERT_TRUE(result.started) << result.error;
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(readBytes(joinPath(dir.path(), kName + ".txt")), expected);

  options.outputFile = joinPath(dir.path(), "输出 😀.bin");
  EXPECT_EQ(RunProcess({child, "print", kName}, options).exitCode, 0);
  EXPECT_EQ(readBytes(options.outputFile), kName);
}

}  // namespace
}  // namespace platform
