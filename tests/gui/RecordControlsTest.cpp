// The record list with its header, and the category tree: real controls in
// a real parent window, driven by messages and clicks, checked by state,
// by what reaches the parent, and by pixels.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "controls/CListViewCheck1.h"
#include "controls/CTreeViewEx1.h"
#include "controls/Pictures.h"
#include "framework/MessageMap.h"
#include "phone/RecordLayouts.h"
#include "tests/gui/GuiTestSupport.h"

using controls::CListViewCheck1;
using controls::CTreeViewEx1;

namespace {

// A top-level parent that reflects notifications to its children, as the
// main window does, and records the check messages it receives.
class RecordingParent {
 public:
  struct Check {
    WPARAM what;
    LPARAM state;
  };

  RecordingParent() {
    window_ = ::CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 800, 620,
                                nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowSubclass(window_, &RecordingParent::Proc, 1, reinterpret_cast<DWORD_PTR>(this));
  }
  ~RecordingParent() { ::DestroyWindow(window_); }
  HWND window() const { return window_; }

  std::vector<Check> rowChecks;
  std::vector<Check> categoryChecks;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* parent = reinterpret_cast<RecordingParent*>(self);
    if (msg == controls::kRowCheckMessage) {
      parent->rowChecks.push_back({wParam, lParam});
      return 0;
    }
    if (msg == controls::kCategoryCheckMessage) {
      parent->categoryChecks.push_back({wParam, lParam});
      return 0;
    }
    if (msg == WM_DRAWITEM || msg == WM_MEASUREITEM || msg == WM_NOTIFY) {
      BOOL handled = TRUE;
      const LRESULT result = fw::ReflectNotifications(window, msg, wParam, lParam, handled);
      if (handled) return result;
    }
    return ::DefSubclassProc(window, msg, wParam, lParam);
  }

  HWND window_;
};

// A click as the user makes it: the button-up is queued first, so that the
// control's drag detection ends at once.
void click(HWND window, POINT at) {
  ::PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  gui_test::PumpPending();
}

POINT centreOf(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

bool isSelected(const CListViewCheck1& list, int row) {
  return (list.Send(LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

class RecordList : public ::testing::Test {
 protected:
  void SetUp() override {
    list.m_nItemHeight = 30;
    ASSERT_NE(list.CreateList(parent.window(), RECT{0, 0, 507, 576}, 1004), nullptr);
    list.InsertColumn(0, 150, L"Name");
    list.InsertColumn(1, 170, L"Phone");
    list.InsertColumn(2, 180, L"Company");
  }

  // Appends rows "name k" whose item data is the given records (or k + 1).
  void addRows(int count, std::vector<phone::ContactRecord>* records = nullptr) {
    for (int k = 0; k < count; ++k) {
      const int row = list.AddRow({L"name " + std::to_wstring(k), L"+" + std::to_wstring(100 + k), L""});
      list.SetRowData(row, records != nullptr ? reinterpret_cast<LPARAM>(&(*records)[static_cast<std::size_t>(k)])
                                              : static_cast<LPARAM>(k + 1));
      list.SetCheck(row, 1);
    }
  }

  RecordingParent parent;
  CListViewCheck1 list;
};

}  // namespace

TEST_F(RecordList, RowsAreThirtyPixelsHighAndTheHeaderThirty) {
  addRows(3);
  RECT row{};
  row.left = LVIR_BOUNDS;
  ASSERT_TRUE(list.Send(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)));
  EXPECT_EQ(row.bottom - row.top, 30);
  RECT header{};
  ::GetWindowRect(list.header().m_hWnd, &header);
  EXPECT_EQ(header.bottom - header.top, controls::CHeaderCtrlCheck::kHeight);
}

TEST_F(RecordList, ClickOnTheBoxTogglesWithoutSelectingAndBesideItSelects) {
  addRows(3);
  list.header().SetCheck(1);
  const RECT box = list.CheckBoxRect(1);
  ASSERT_GT(box.right - box.left, 0) << "check-box strip missing";

  click(list.m_hWnd, centreOf(box));
  EXPECT_EQ(list.GetCheck(1), 0);
  EXPECT_FALSE(isSelected(list, 1));
  ASSERT_EQ(parent.rowChecks.size(), 1u);
  EXPECT_EQ(parent.rowChecks[0].what, 1u);
  EXPECT_EQ(parent.rowChecks[0].state, 0);
  EXPECT_EQ(list.header().GetCheck(), 0) << "one row unchecked clears the header box";

  click(list.m_hWnd, centreOf(box));
  EXPECT_EQ(list.GetCheck(1), 1);
  EXPECT_EQ(list.header().GetCheck(), 1) << "the last unchecked row checked sets it again";

  click(list.m_hWnd, POINT{box.right + 200, box.top + 2});
  EXPECT_TRUE(isSelected(list, 1));
  EXPECT_EQ(list.GetCheck(1), 1);
  EXPECT_EQ(parent.rowChecks.size(), 2u);
}

TEST_F(RecordList, HeaderBoxSetsEveryRowAndReportsEach) {
  addRows(4);
  list.header().SetCheck(1);
  ::SendMessageW(list.header().checkBox(), BM_CLICK, 0, 0);
  gui_test::PumpPending();
  EXPECT_EQ(list.header().GetCheck(), 0);
  ASSERT_EQ(parent.rowChecks.size(), 4u);
  for (int row = 0; row < 4; ++row) {
    EXPECT_EQ(list.GetCheck(row), 0);
    EXPECT_EQ(parent.rowChecks[static_cast<std::size_t>(row)].what, static_cast<WPARAM>(row));
    EXPECT_EQ(parent.rowChecks[static_cast<std::size_t>(row)].state, 0);
  }
  ::SendMessageW(list.header().checkBox(), BM_CLICK, 0, 0);
  EXPECT_EQ(list.GetCheck(3), 1);
  EXPECT_EQ(parent.rowChecks.back().state, 1);
}

TEST_F(RecordList, OnlyTheListChangesABoxSoRecordsNeverDisagree) {
  addRows(2);
  // The control's own ways of flipping a box (its check-box click, the
  // space bar) would bypass the parent; they are refused or routed.
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(controls::kStateUnchecked);
  list.Send(LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(list.GetCheck(0), 1);
  EXPECT_TRUE(parent.rowChecks.empty());

  list.SelectFirstRow();
  list.Send(WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(list.GetCheck(0), 0);
  ASSERT_EQ(parent.rowChecks.size(), 1u);
  EXPECT_EQ(parent.rowChecks[0].state, 0);
}

TEST_F(RecordList, HeaderClicksSortUpThenDownWithTheArrow) {
  const wchar_t* names[] = {L"delta", L"alpha", L"charlie", L"bravo"};
  for (int k = 0; k < 4; ++k) list.SetRowData(list.AddRow({names[k], L"", L""}), k + 1);
  NMLISTVIEW notice{};
  notice.hdr.hwndFrom = list.m_hWnd;
  notice.hdr.code = LVN_COLUMNCLICK;
  notice.iSubItem = 0;
  list.Send(fw::OCM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
  EXPECT_EQ(list.header().sortColumn(), 0);
  EXPECT_TRUE(list.header().sortAscending());
  EXPECT_EQ(list.RowData(0), 2);  // alpha
  EXPECT_EQ(list.RowData(3), 1);  // delta
  const COLORREF up = gui_test::PaintedPixel(list.header().m_hWnd, 150 - 20 + 4, 15);

  list.Send(fw::OCM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
  EXPECT_FALSE(list.header().sortAscending());
  EXPECT_EQ(list.RowData(0), 1);
  EXPECT_EQ(list.RowData(3), 2);
  const COLORREF down = gui_test::PaintedPixel(list.header().m_hWnd, 150 - 20 + 4, 15);
  const COLORREF unsorted = gui_test::PaintedPixel(list.header().m_hWnd, 150 + 170 - 20 + 4, 15);
  EXPECT_TRUE(up != unsorted || down != unsorted) << "an arrow is drawn on the sort column";

  notice.iSubItem = 1;
  list.Send(fw::OCM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
  EXPECT_EQ(list.header().sortColumn(), 1);
  EXPECT_TRUE(list.header().sortAscending()) << "another column starts ascending";
}

TEST_F(RecordList, LastColumnCannotBeResized) {
  NMHEADERW notice{};
  notice.hdr.hwndFrom = list.header().m_hWnd;
  notice.hdr.code = HDN_BEGINTRACKW;
  notice.iItem = 2;
  EXPECT_EQ(list.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice)), 1);
  notice.iItem = 0;
  EXPECT_EQ(list.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice)), 0);
}

TEST_F(RecordList, DeletedRecordsAreRedWithTheMarker) {
  std::vector<phone::ContactRecord> records(2, phone::ContactRecord{});
  records[0].deleted = 1;
  addRows(2, &records);
  list.SetRecordKind(controls::kContactRecords);
  const int frameWidth = controls::PictureWidth(controls::LoadPicture(L"checkbox.png")) / 4;
  const controls::Picture marker = controls::LoadPicture(L"deleted.png");
  ASSERT_GT(frameWidth, 0);
  ASSERT_GT(controls::PictureWidth(marker), 0);

  RECT first{};
  first.left = LVIR_BOUNDS;
  list.Send(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  RECT second{};
  second.left = LVIR_BOUNDS;
  list.Send(LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
  const gui_test::ClientPicture painted(list.m_hWnd);
  auto redPixels = [&](const RECT& row) {
    int red = 0;
    for (int x = row.left; x < 480; ++x) {
      for (int y = row.top; y < row.bottom; ++y) {
        const COLORREF pixel = painted.At(x, y);
        if (GetRValue(pixel) > 200 && GetGValue(pixel) < 80 && GetBValue(pixel) < 80) ++red;
      }
    }
    return red;
  };
  EXPECT_GT(redPixels(first), 20) << "text of a deleted record is red";
  EXPECT_EQ(redPixels(second), 0) << "a live record is black";
  const int markerX = frameWidth + 10 + controls::PictureWidth(marker) / 2;
  const int rowMiddle = (first.top + first.bottom) / 2;
  const COLORREF underMarker = painted.At(markerX, rowMiddle);
  const COLORREF liveRow = painted.At(markerX, (second.top + second.bottom) / 2);
  EXPECT_NE(underMarker, liveRow) << "the marker stands between the box and the text";
}

TEST_F(RecordList, TwentyThousandRowsSortInTheDefinedOrder) {
  std::mt19937 random(7);
  std::vector<std::wstring> names;
  std::vector<controls::ListRow> rows;
  for (int k = 0; k < 20000; ++k) {
    names.push_back(L"n" + std::to_wstring(random() % 100000));
    rows.push_back(controls::ListRow{{names.back(), L"", L""}, k + 1, true});
  }
  const auto fillStart = std::chrono::steady_clock::now();
  list.SetRows(std::move(rows));
  ::UpdateWindow(list.m_hWnd);
  std::printf("[ figure ] filling 20000 rows: %.3f s\n",
              std::chrono::duration<double>(std::chrono::steady_clock::now() - fillStart).count());
  const auto start = std::chrono::steady_clock::now();
  list.SortByColumn(0);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("[ figure ] sorting 20000 rows: %.3f s\n", seconds);
  std::stable_sort(names.begin(), names.end(),
                   [](const std::wstring& a, const std::wstring& b) { return ::lstrcmpW(a.c_str(), b.c_str()) < 0; });
  wchar_t text[64] = {};
  for (int row = 0; row < 20000; ++row) {
    ASSERT_EQ(list.CellText(row, 0), names[static_cast<std::size_t>(row)]) << row;
  }
  // What the control itself asks for comes from the same rows.
  ListView_GetItemText(list.m_hWnd, 19999, 0, text, 64);
  EXPECT_STREQ(text, names.back().c_str());
}

namespace {

class CategoryTree : public ::testing::Test {
 protected:
  void SetUp() override {
    const HWND control = ::CreateWindowExW(
        0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS |
                                  TVS_NOTOOLTIPS | TVS_CHECKBOXES | TVS_FULLROWSELECT,
        1, 32, 221, 577, parent.window(), reinterpret_cast<HMENU>(1003), ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(tree.SetUp(control));
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(L"android phone");
    insert.item.cChildren = 1;
    root = reinterpret_cast<HTREEITEM>(tree.Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    contactsIcon = controls::LoadPicture(L"contacts.png");
    messageIcon = controls::LoadPicture(L"message.png");
    contacts = tree.InsertCategory(root, 0, L"Contacts", contactsIcon.get());
    messages = tree.InsertCategory(root, 1, L"Message", messageIcon.get());
    tree.Send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    for (HTREEITEM item : {root, contacts, messages}) tree.SetCheck(item, 1);
  }

  void load() {
    tree.SetCategory(contacts, L"Contacts (3)", 1);
    tree.SetCategory(messages, L"Message (2)", 1);
  }

  RecordingParent parent;
  CTreeViewEx1 tree;
  controls::Picture contactsIcon, messageIcon;
  HTREEITEM root = nullptr, contacts = nullptr, messages = nullptr;
};

}  // namespace

TEST_F(CategoryTree, ParentBoxChecksAndClearsEveryCategoryReportingChanges) {
  load();
  tree.SetCheck(messages, 0);
  tree.SetCheck(root, 0);
  click(tree.m_hWnd, centreOf(tree.CheckBoxRect(root)));
  EXPECT_EQ(tree.GetCheck(root), 1);
  EXPECT_EQ(tree.GetCheck(contacts), 1);
  EXPECT_EQ(tree.GetCheck(messages), 1);
  ASSERT_EQ(parent.categoryChecks.size(), 1u) << "only the category whose state changed is reported";
  EXPECT_EQ(parent.categoryChecks[0].what, reinterpret_cast<WPARAM>(messages));
  EXPECT_EQ(parent.categoryChecks[0].state, 1);

  click(tree.m_hWnd, centreOf(tree.CheckBoxRect(root)));
  EXPECT_EQ(tree.GetCheck(contacts), 0);
  EXPECT_EQ(tree.GetCheck(messages), 0);
  EXPECT_EQ(parent.categoryChecks.size(), 3u);
}

TEST_F(CategoryTree, CategoryBoxUpdatesTheParentRow) {
  load();
  click(tree.m_hWnd, centreOf(tree.CheckBoxRect(contacts)));
  EXPECT_EQ(tree.GetCheck(contacts), 0);
  EXPECT_EQ(tree.GetCheck(root), 0);
  ASSERT_EQ(parent.categoryChecks.size(), 1u);
  EXPECT_EQ(parent.categoryChecks[0].what, reinterpret_cast<WPARAM>(contacts));
  EXPECT_EQ(parent.categoryChecks[0].state, 0);
  click(tree.m_hWnd, centreOf(tree.CheckBoxRect(contacts)));
  EXPECT_EQ(tree.GetCheck(root), 1);
  // A category without records does not hold the parent row back.
  tree.SetCategory(messages, nullptr, 0);
  tree.SetCheck(messages, 0);
  click(tree.m_hWnd, centreOf(tree.CheckBoxRect(contacts)));
  click(tree.m_hWnd, centreOf(tree.CheckBoxRect(contacts)));
  EXPECT_EQ(tree.GetCheck(root), 1);
}

TEST_F(CategoryTree, CategoryWithoutRecordsIsGreyAndIgnoresClicks) {
  tree.SetCategory(contacts, nullptr, 0);
  click(tree.m_hWnd, centreOf(tree.CheckBoxRect(contacts)));
  const RECT row = tree.ItemRect(contacts, true);
  click(tree.m_hWnd, POINT{row.right - 2, (row.top + row.bottom) / 2});
  EXPECT_EQ(tree.GetCheck(contacts), 1);
  EXPECT_TRUE(parent.categoryChecks.empty());
  EXPECT_NE(tree.Send(TVM_GETNEXTITEM, TVGN_CARET, 0), reinterpret_cast<LRESULT>(contacts));
  // Its text is drawn grey.
  const RECT whole = tree.ItemRect(contacts, false);
  const gui_test::ClientPicture painted(tree.m_hWnd);
  int grey = 0, black = 0;
  for (int x = whole.left + 90; x < whole.left + 160; ++x) {
    for (int y = whole.top; y < whole.bottom; ++y) {
      const COLORREF pixel = painted.At(x, y);
      if (pixel == RGB(0, 0, 0)) ++black;
      if (GetRValue(pixel) >= 195 && GetRValue(pixel) <= 215 && GetRValue(pixel) == GetBValue(pixel)) ++grey;
    }
  }
  EXPECT_EQ(black, 0);
  EXPECT_GT(grey, 5);
}

TEST_F(CategoryTree, DoubleClickNeverCollapsesAndSelectionIsPainted) {
  load();
  const RECT row = tree.ItemRect(root, true);
  tree.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(row.left + 3, (row.top + row.bottom) / 2));
  EXPECT_NE(tree.Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(root), TVIS_EXPANDED) & TVIS_EXPANDED, 0);

  tree.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(messages));
  const RECT whole = tree.ItemRect(messages, false);
  // The band right of the text: the gradient's top colour at the row's top.
  const gui_test::ClientPicture painted(tree.m_hWnd);
  const COLORREF band = painted.At(200, whole.top);
  EXPECT_GT(GetBValue(band), 230);
  EXPECT_LT(GetRValue(band), 200);
  int blue = 0;
  for (int x = whole.left + 90; x < whole.left + 160; ++x) {
    for (int y = whole.top; y < whole.bottom; ++y) {
      if (painted.At(x, y) == RGB(0, 0, 200)) ++blue;
    }
  }
  EXPECT_GT(blue, 5) << "the selected category's text is blue";
}
