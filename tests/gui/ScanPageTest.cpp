// The scan page of the real main window, filled with the demo phone: the
// tree, the record list and the detail panes in step with the records.

#include <gtest/gtest.h>

#include <functional>

#include "app/CMainDlg.h"
#include "platform/TextEncoding.h"
#include "records/RecordRows.h"
#include "tests/gui/DemoPhoneLoader.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

void withDemoPhone(const std::function<void(CMainDlg&, HWND)>& drive) {
  CMainDlg window(gui_test::NoPhone());
  gui_test::RunWithDemoPhone(window, drive);
}

std::wstring itemText(const controls::CTreeViewEx1& tree, HTREEITEM item) { return tree.ItemText(item); }

int checkedRecords(const std::vector<records::RecordRow>& rows) {
  int checked = 0;
  for (const records::RecordRow& row : rows) {
    if (static_cast<const phone::ContactRecord*>(row.record)->checked != 0) ++checked;
  }
  return checked;
}

}  // namespace

TEST(ScanPage, ShowsTheContactsWithCaptionsAndEverythingChecked) {
  withDemoPhone([](CMainDlg& window, HWND) {
    EXPECT_EQ(itemText(window.m_tree, window.m_hCategories[0]), L"Contacts (50)");
    EXPECT_EQ(itemText(window.m_tree, window.m_hCategories[1]), L"Message (47)");
    EXPECT_TRUE(window.m_tree.IsVisible());
    ASSERT_TRUE(window.m_pListView);
    controls::CListViewCheck1& list = *window.m_pListView;
    EXPECT_TRUE(list.IsVisible());
    const auto rows = records::ContactRows(window.RecordsView());
    EXPECT_EQ(list.RowCount(), static_cast<int>(rows.size()));
    EXPECT_EQ(list.recordKind(), controls::kContactRecords);
    EXPECT_TRUE(list.IsDeletedRow(list.RowData(0))) << "recovered contacts come first";
    EXPECT_EQ(list.header().GetCheck(), 1);
    for (HTREEITEM item : {window.m_hTreeRoot, window.m_hCategories[0], window.m_hCategories[1]}) {
      EXPECT_EQ(window.m_tree.GetCheck(item), 1);
    }
    const RECT placed = list.GetRectInParent();
    EXPECT_EQ(placed.left, 225);
    EXPECT_EQ(placed.right - placed.left, 507);
    EXPECT_TRUE(window.m_pContactBoard && window.m_pContactBoard->IsVisible());
  });
}

TEST(ScanPage, OneRowUncheckedClearsHeaderCategoryAndRootUntilCheckedAgain) {
  withDemoPhone([](CMainDlg& window, HWND) {
    controls::CListViewCheck1& list = *window.m_pListView;
    const auto* record = reinterpret_cast<const phone::ContactRecord*>(list.RowData(3));
    const RECT box = list.CheckBoxRect(3);
    const POINT at{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    ::PostMessageW(list.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    list.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(record->checked, 0);
    EXPECT_EQ(list.header().GetCheck(), 0);
    EXPECT_EQ(window.m_tree.GetCheck(window.m_hCategories[0]), 0);
    EXPECT_EQ(window.m_tree.GetCheck(window.m_hTreeRoot), 0);
    ::PostMessageW(list.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    list.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(record->checked, 1);
    EXPECT_EQ(list.header().GetCheck(), 1);
    EXPECT_EQ(window.m_tree.GetCheck(window.m_hCategories[0]), 1);
    EXPECT_EQ(window.m_tree.GetCheck(window.m_hTreeRoot), 1);
  });
}

TEST(ScanPage, CategoryBoxOfTheOtherCategoryLeavesTheVisibleRowsAlone) {
  withDemoPhone([](CMainDlg& window, HWND) {
    window.m_tree.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(window.m_hCategories[1]));
    controls::CListViewCheck1& list = *window.m_pListView;
    EXPECT_EQ(list.recordKind(), controls::kMessageRecords);
    EXPECT_EQ(list.RowCount(), static_cast<int>(records::MessageRows(window.RecordsView()).size()));
    EXPECT_TRUE(window.m_pMsgBoard && window.m_pMsgBoard->IsVisible());
    EXPECT_FALSE(window.m_pContactBoard->IsVisible());

    const RECT box = window.m_tree.CheckBoxRect(window.m_hCategories[0]);
    const POINT at{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    ::PostMessageW(window.m_tree.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    window.m_tree.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(window.m_tree.GetCheck(window.m_hCategories[0]), 0);
    EXPECT_EQ(checkedRecords(records::ContactRows(window.RecordsView())), 0) << "every contact unchecked";
    for (const phone::ContactRecord* c = window.Records().contactLists().contacts; c != nullptr; c = c->next) {
      ASSERT_EQ(c->checked, 0);
    }
    EXPECT_EQ(list.header().GetCheck(), 1) << "the visible Message rows are untouched";
    EXPECT_EQ(list.GetCheck(0), 1);

    // Selecting the root shows nothing of its own: the list stays.
    window.m_tree.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(window.m_hTreeRoot));
    EXPECT_EQ(list.recordKind(), controls::kMessageRecords);
    EXPECT_TRUE(list.IsVisible());
  });
}

TEST(ScanPage, AClickedRowReachesTheDetailPane) {
  withDemoPhone([](CMainDlg& window, HWND handle) {
    controls::CListViewCheck1& list = *window.m_pListView;
    // Row 0 is shown at first; the last row is a live contact.
    const int last = list.RowCount() - 1;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    list.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(last), reinterpret_cast<LPARAM>(&item));
    NMHDR click{list.m_hWnd, IDC_LIST, static_cast<UINT>(NM_CLICK)};
    ::SendMessageW(handle, WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&click));
    const auto* contact = reinterpret_cast<const phone::ContactRecord*>(list.RowData(last));
    ASSERT_NE(contact, nullptr);
    EXPECT_EQ(contact->deleted, 0);
    const std::u16string name = platform::utf16FromNarrow(contact->displayName);
    EXPECT_EQ(window.m_pContactBoard->name(), contact->displayNameSource == 40
                                                  ? std::wstring(name.begin(), name.end())
                                                  : std::wstring(L"No Name"));

    window.m_tree.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(window.m_hCategories[1]));
    const int conversation = list.RowCount() - 1;
    list.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(conversation), reinterpret_cast<LPARAM>(&item));
    ::SendMessageW(handle, WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&click));
    const auto* shown = reinterpret_cast<const phone::ConversationRecord*>(list.RowData(conversation));
    int bodies = 0;
    for (const phone::MessageRecord* m = window.Records().smsLists().messages; m != nullptr; m = m->next) {
      if (m->threadKey == shown->threadKey && m->body != nullptr && m->body[0] != '\0') ++bodies;
    }
    EXPECT_GT(bodies, 0);
    EXPECT_EQ(window.m_pMsgBoard->bubbles().size(), static_cast<std::size_t>(bodies));
  });
}
