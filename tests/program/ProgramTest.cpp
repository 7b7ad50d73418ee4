// The real program, started as a process: one instance at a time, and the
// exit codes of its ways of closing.

#include <gtest/gtest.h>

#include "tests/program/StagedProgram.h"

namespace program_test {
namespace {

TEST(Program, SecondInstanceLeavesAtOnceAndCloseButtonEndsWith1000) {
  StagedProgram program;
  ASSERT_TRUE(program.Start(L"C:\\exports"));
  const HWND window = program.WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(program.RunAnotherInstance(20000), 0);
  ::PostMessageW(window, WM_COMMAND, 1000, 0);
  EXPECT_EQ(program.WaitForExit(20000), 1000);
}

TEST(Program, SystemCloseEndsWithZero) {
  StagedProgram program;
  ASSERT_TRUE(program.Start(L"C:\\exports"));
  const HWND window = program.WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(20000), 0);
}

}  // namespace
}  // namespace program_test
