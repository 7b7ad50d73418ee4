// The real program, started as a process: one instance at a time, and the
// exit codes of its ways of closing.

#include <gtest/gtest.h>

#include <string>

#include "app/Startup.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

class Program {
 public:
  Program() {
    std::wstring commandLine = L"\"" + std::wstring(ZR_APP_PATH) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    started_ = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                &process_) != FALSE;
  }
  ~Program() {
    if (!started_) return;
    if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(process_.hProcess, 99);
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
  }

  bool started() const { return started_; }

  // The exit code, or -2 when the process has not ended within the time.
  long WaitForExit(DWORD timeoutMs) const {
    if (::WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -2;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }

  HWND WaitForMainWindow() const {
    HWND window = nullptr;
    gui_test::PumpUntil([&] {
      window = ::FindWindowW(L"#32770", app::kSingleInstanceName);
      return window != nullptr && ::IsWindowVisible(window);
    }, 20000);
    return window;
  }

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

}  // namespace

TEST(Program, SecondInstanceLeavesAtOnceAndCloseButtonEndsWith1000) {
  Program first;
  ASSERT_TRUE(first.started());
  const HWND window = first.WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  Program second;
  ASSERT_TRUE(second.started());
  EXPECT_EQ(second.WaitForExit(20000), 0);
  ::PostMessageW(window, WM_COMMAND, 1000, 0);
  EXPECT_EQ(first.WaitForExit(20000), 1000);
}

TEST(Program, SystemCloseEndsWithZero) {
  Program program;
  ASSERT_TRUE(program.started());
  const HWND window = program.WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(20000), 0);
}
