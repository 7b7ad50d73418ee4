// Pictures of the real program at work, for people to look at: written
// when ZR_SCREENSHOT_DIR names a folder (make screenshots), skipped
// otherwise. The demo phone for the quick screens, a large phone for the
// ones that need a scan or an export to last.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "bench/BenchDatabases.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/Screenshot.h"
#include "tests/program/RemoteUi.h"
#include "tests/program/StagedProgram.h"

namespace program_test {
namespace {

namespace fs = std::filesystem;

constexpr int kRecover = 1010, kPause = 1006, kContinue = 1008, kStop = 1007, kTree = 1003;
constexpr int kBoxOk = 1011;

class ProgramScreenshots : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = gui_test::ScreenshotFolder();
    if (folder_.empty()) GTEST_SKIP() << "ZR_SCREENSHOT_DIR is not set";
    fs::create_directories(L"C:\\exports");
  }

  void Save(HWND window, const wchar_t* name, int settleMs = 400) {
    gui_test::PumpUntil([] { return false; }, settleMs);
    EXPECT_TRUE(gui_test::SaveWindowPng(window, folder_ + L"\\" + name)) << "cannot save the screenshot";
  }
  static bool WaitVisible(HWND main, int id, int ms = 60000) {
    return gui_test::PumpUntil([&] { return ChildVisible(main, id); }, ms);
  }

  std::wstring folder_;
};

TEST_F(ProgramScreenshots, LoadingLoadedAndFinished) {
  StagedProgram program;
  ASSERT_TRUE(program.PutDemoPhone());
  ASSERT_TRUE(program.Start(L"C:\\exports"));
  const HWND main = program.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  Save(main, L"program-loading.png", 1500);
  ASSERT_TRUE(WaitVisible(main, kRecover));
  Save(main, L"program-loaded-contacts.png");
  const RemoteUi ui(program.process());
  const HWND tree = ::GetDlgItem(main, kTree);
  const std::vector<HTREEITEM> items = ui.TreeItems(tree);
  ASSERT_GE(items.size(), 3u);
  ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items[2]));
  Save(main, L"program-loaded-message.png");
  ::PostMessageW(main, WM_COMMAND, kRecover, 0);
  HWND box = nullptr;
  ASSERT_TRUE(gui_test::PumpUntil([&] { return (box = OwnedDialog(main)) != nullptr; }, 60000));
  Save(main, L"program-export-finished.png");
  ::PostMessageW(box, WM_COMMAND, kBoxOk, 0);
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(30000), 0);
}

TEST_F(ProgramScreenshots, ScanPausedAndExportInProgress) {
  const fs::path phone = L"C:\\shot-phone";
  fs::create_directories(phone);
  bench::makePhoneContacts((phone / "contacts2.db").string(), 40000);
  bench::makePhoneSms((phone / "mmssms.db").string(), 40000, 4000);
  StagedProgram program;
  ASSERT_TRUE(program.PutPhone(phone / L"contacts2.db", phone / L"mmssms.db"));
  ASSERT_TRUE(program.Start(L"C:\\exports"));
  const HWND main = program.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitVisible(main, kPause));
  Save(main, L"program-scanning.png", 1500);
  ::PostMessageW(main, WM_COMMAND, kPause, 0);
  ASSERT_TRUE(WaitVisible(main, kContinue, 10000));
  Save(main, L"program-paused.png");
  ::PostMessageW(main, WM_COMMAND, kContinue, 0);
  ASSERT_TRUE(WaitVisible(main, kRecover));
  ::PostMessageW(main, WM_COMMAND, kRecover, 0);
  ASSERT_TRUE(WaitVisible(main, kStop, 20000));
  ::PostMessageW(main, WM_COMMAND, kPause, 0);
  ASSERT_TRUE(WaitVisible(main, kContinue, 10000));
  Save(main, L"program-exporting.png");
  ::PostMessageW(main, WM_COMMAND, kStop, 0);
  HWND box = nullptr;
  ASSERT_TRUE(gui_test::PumpUntil([&] { return (box = OwnedDialog(main)) != nullptr; }, 60000));
  ::PostMessageW(box, WM_COMMAND, kBoxOk, 0);
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(30000), 0);
}

}  // namespace
}  // namespace program_test
