// Pictures of every screen for people to look at: written when
// ZR_SCREENSHOT_DIR names a folder (make screenshots), skipped otherwise.

#include <gtest/gtest.h>

#include "app/CMainDlg.h"
#include "controls/CAboutBox.h"
#include "controls/CMsgBox.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/Screenshot.h"

namespace {

class Screenshots : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = gui_test::ScreenshotFolder();
    if (folder_.empty()) GTEST_SKIP() << "ZR_SCREENSHOT_DIR is not set";
  }

  void Save(HWND window, const wchar_t* name) {
    // Let animations and deferred painting settle before the copy.
    gui_test::PumpUntil([] { return false; }, 400);
    EXPECT_TRUE(gui_test::SaveWindowPng(window, folder_ + L"\\" + name)) << "cannot save the screenshot";
  }

  std::wstring folder_;
};

}  // namespace

TEST_F(Screenshots, ConnectPage) {
  CMainDlg window;
  gui_test::WhenDialogAppears(nullptr, [&](HWND handle) {
    Save(handle, L"connect-page.png");
    ::PostMessageW(handle, WM_CLOSE, 0, 0);
  });
  window.DoModal(nullptr);
}

TEST_F(Screenshots, FailureScreen) {
  CMainDlg window;
  gui_test::WhenDialogAppears(nullptr, [&](HWND handle) {
    window.ShowLoadFailure();
    Save(handle, L"failure-screen.png");
    ::PostMessageW(handle, WM_CLOSE, 0, 0);
  });
  window.DoModal(nullptr);
}

TEST_F(Screenshots, WarningBox) {
  gui_test::WhenDialogAppears(nullptr, [&](HWND box) {
    Save(box, L"warning-box.png");
    ::PostMessageW(box, WM_COMMAND, IDC_MSG_OK, 0);
  });
  controls::CMsgBox::Show(controls::kMsgBoxWarn, controls::kMsgBoxOk,
                          L"Please select the file(s) you want to recover.", nullptr);
}

TEST_F(Screenshots, YesNoBox) {
  gui_test::WhenDialogAppears(nullptr, [&](HWND box) {
    Save(box, L"yes-no-box.png");
    ::PostMessageW(box, WM_COMMAND, IDC_MSG_NO, 0);
  });
  controls::CMsgBox::Show(controls::kMsgBoxWarn, controls::kMsgBoxYes | controls::kMsgBoxNo,
                          L"Are you sure to go back to reload the data from Android phone?", nullptr);
}

TEST_F(Screenshots, AboutBox) {
  gui_test::WhenDialogAppears(nullptr, [&](HWND box) {
    Save(box, L"about-box.png");
    ::PostMessageW(box, WM_COMMAND, IDC_ABOUT_OK, 0);
  });
  controls::CAboutBox about(nullptr);
  about.DoModal(nullptr);
}
