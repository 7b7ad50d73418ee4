// Recover in the real window on the demo phone: what the user is told when
// nothing is checked, when the picker is cancelled or gives no folder, when
// the export folder cannot be made and when no worker can be started; and
// that an export ends with Back and Recover offered again.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "app/CMainDlg.h"
#include "app/WorkerThread.h"
#include "records/RecordRows.h"
#include "tests/gui/DemoPhoneLoader.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// The text of the next box the window shows while `act` runs, answered with
// OK; empty when no box came.
std::wstring boxDuring(HWND window, const std::function<void()>& act) {
  std::wstring text;
  gui_test::WhenDialogAppears(window, [&](HWND box) {
    wchar_t buffer[1024] = {};
    ::GetWindowTextW(box, buffer, 1024);
    text = buffer;
    ::PostMessageW(box, WM_COMMAND, IDC_MSG_OK, 0);
  });
  act();
  // A box that never came must not answer a later one.
  gui_test::WhenDialogAppears(nullptr, [](HWND) {});
  return text;
}

void recover(HWND window) { ::SendMessageW(window, WM_COMMAND, IDC_RECOVER, 0); }

// Runs the main window with the demo phone loaded and its folder picker
// answering `picked`; does `drive` and closes it.
void withDemoPhone(std::function<std::optional<std::wstring>(HWND)> picker,
                   const std::function<void(CMainDlg&, HWND)>& drive) {
  CMainDlg window(gui_test::NoPhone());
  window.SetFolderPicker(std::move(picker));
  gui_test::RunWithDemoPhone(window, drive);
}

// The category's box set as a click on it sets it.
void setCategory(CMainDlg& window, int kind, int state) {
  window.m_tree.SetCheck(window.m_hCategories[kind], state);
  window.Send(controls::kCategoryCheckMessage, reinterpret_cast<WPARAM>(window.m_hCategories[kind]), state);
}

bool visible(HWND window, int id) { return ::IsWindowVisible(::GetDlgItem(window, id)) != FALSE; }

TEST(RecoverCommand, NothingCheckedCancelledAndEmptyFolderAreToldOrLeftAlone) {
  int asked = 0;
  std::optional<std::wstring> answer;
  withDemoPhone(
      [&](HWND) {
        ++asked;
        return answer;
      },
      [&](CMainDlg& window, HWND handle) {
        // Every box cleared: nothing to recover, and no folder is asked for.
        setCategory(window, CMainDlg::kContactsKind, 0);
        setCategory(window, CMainDlg::kMessageKind, 0);
        EXPECT_EQ(window.CountCheckedRecords(), 0);
        EXPECT_EQ(boxDuring(handle, [&] { recover(handle); }), L"Please select the file(s) you want to recover.");
        EXPECT_EQ(asked, 0);

        setCategory(window, CMainDlg::kMessageKind, 1);
        EXPECT_GT(window.CountCheckedRecords(), 0);
        // Cancelled: no box, nothing changes.
        EXPECT_EQ(boxDuring(handle, [&] { recover(handle); }), L"");
        EXPECT_EQ(asked, 1);
        EXPECT_TRUE(visible(handle, IDC_RECOVER));
        // A choice without a file-system path.
        answer = std::wstring();
        EXPECT_EQ(boxDuring(handle, [&] { recover(handle); }),
                  L"Please select the directory to save the files recovered.");
        EXPECT_TRUE(visible(handle, IDC_RECOVER));
        EXPECT_FALSE(window.Busy());
      });
}

TEST(RecoverCommand, AFolderThatCannotBeMadeIsToldAndNothingIsReportedRecovered) {
  testing_support::TempDir temp;
  // A file where the export folder's parent should be.
  const fs::path blocker = fs::path(temp.path()) / "not-a-folder";
  { std::ofstream(blocker) << "x"; }
  withDemoPhone([&](HWND) { return std::optional<std::wstring>(blocker.wstring()); },
                [&](CMainDlg&, HWND handle) {
                  const std::wstring text = boxDuring(handle, [&] { recover(handle); });
                  EXPECT_EQ(text.find(L"Recovering finished"), std::wstring::npos) << "never reported as recovered";
                  EXPECT_NE(text.find(L"not-a-folder"), std::wstring::npos) << "the box names the folder: " << text;
                  EXPECT_TRUE(visible(handle, IDC_RECOVER));
                  EXPECT_TRUE(visible(handle, IDC_BACK));
                });
}

TEST(RecoverCommand, ARefusedWorkerRestoresTheControlsAndSaysSo) {
  testing_support::TempDir temp;
  withDemoPhone([&](HWND) { return std::optional<std::wstring>(fs::path(temp.path()).wstring()); },
                [&](CMainDlg& window, HWND handle) {
                  app::WorkerThread::RefuseNextStart();
                  const std::wstring text = boxDuring(handle, [&] { recover(handle); });
                  EXPECT_NE(text.find(L"could not be started"), std::wstring::npos) << text;
                  EXPECT_FALSE(window.Busy());
                  EXPECT_TRUE(visible(handle, IDC_RECOVER));
                  EXPECT_TRUE(visible(handle, IDC_BACK));
                  EXPECT_FALSE(visible(handle, IDC_STOP));
                  EXPECT_FALSE(visible(handle, IDC_PROGRESS));
                });
}

TEST(RecoverCommand, AnExportEndsWithItsCountAndOffersBackAndRecoverAgain) {
  testing_support::TempDir temp;
  withDemoPhone([&](HWND) { return std::optional<std::wstring>(fs::path(temp.path()).wstring()); },
                [&](CMainDlg& window, HWND handle) {
                  std::wstring text;
                  gui_test::WhenDialogAppears(handle, [&](HWND box) {
                    wchar_t buffer[1024] = {};
                    ::GetWindowTextW(box, buffer, 1024);
                    text = buffer;
                    ::PostMessageW(box, WM_COMMAND, IDC_MSG_OK, 0);
                  });
                  recover(handle);
                  EXPECT_FALSE(visible(handle, IDC_BACK)) << "hidden while the export runs";
                  ASSERT_TRUE(gui_test::PumpUntil([&] { return !text.empty(); }, 30000));
                  EXPECT_EQ(text, L"Recovering finished, 348 files have been recovered.");
                  EXPECT_TRUE(visible(handle, IDC_BACK)) << "Back returns when the export ends";
                  EXPECT_TRUE(visible(handle, IDC_RECOVER));
                  EXPECT_FALSE(window.Busy());
                });
}

}  // namespace
