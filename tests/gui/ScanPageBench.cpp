// Times the scan page on a large phone under Wine (a benchmark, not a
// test: run with --gtest_also_run_disabled_tests --gtest_filter=*ScanPageBench*).
// 20,000 contacts: filling the Contacts list, sorting it by a column and
// showing a contact in the card.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "app/CMainDlg.h"
#include "bench/BenchDatabases.h"
#include "records/RecordViewMessages.h"
#include "tests/gui/DemoPhoneLoader.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

}  // namespace

TEST(ScanPageBench, DISABLED_TwentyThousandContacts) {
  const auto folder = std::filesystem::temp_directory_path() / "zr-scan-page-bench";
  std::filesystem::create_directories(folder);
  const std::string contacts = (folder / "contacts2.db").string();
  const std::string sms = (folder / "mmssms.db").string();
  bench::makePhoneContacts(contacts, 20000);
  bench::makePhoneSms(sms, 2000, 20);

  CMainDlg window(gui_test::NoPhone());
  gui_test::WhenDialogAppears(nullptr, [&](HWND handle) {
    auto start = Clock::now();
    ASSERT_TRUE(gui_test::LoadPhone(window, contacts, sms));
    ::UpdateWindow(handle);
    std::printf("[ figure ] scan and first fill of the Contacts list: %.3f s\n", secondsSince(start));
    controls::CListViewCheck1& list = *window.m_pListView;

    window.m_tree.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(window.m_hCategories[1]));
    start = Clock::now();
    window.m_tree.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(window.m_hCategories[0]));
    ::UpdateWindow(handle);
    std::printf("[ figure ] filling the Contacts list (%d rows): %.3f s\n", list.RowCount(), secondsSince(start));

    start = Clock::now();
    list.SortByColumn(1);
    ::UpdateWindow(list.m_hWnd);
    std::printf("[ figure ] sorting it by Phone: %.3f s\n", secondsSince(start));

    start = Clock::now();
    window.m_pContactBoard->Send(records::kShowContactMessage, 0, list.RowData(list.RowCount() / 2));
    ::UpdateWindow(window.m_pContactBoard->m_hWnd);
    std::printf("[ figure ] showing a contact: %.3f s\n", secondsSince(start));
    ::PostMessageW(handle, WM_CLOSE, 0, 0);
  });
  window.DoModal(nullptr);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}
