#pragma once
// The category tree of the scan page: one parent row ("android phone") and
// a row per record category, each painted with a picture check box, a
// picture and a text. A category without records is drawn grey with a
// disabled box and ignores clicks. A click on a box flips it and reports
// the change to the parent as kCategoryCheckMessage; double clicks are
// swallowed, so the parent row never collapses.

#include <string>
#include <memory>
#include <vector>

#include "controls/GdiObjects.h"
#include "controls/Pictures.h"
#include "framework/Window.h"

namespace controls {

// Sent to the parent for a category row whose box changed:
// wParam = the row's HTREEITEM, lParam = the new state, 1 or 0.
constexpr UINT kCategoryCheckMessage = WM_USER + 105;

// The item data of a category row, owned by the tree.
struct CategoryData {
  int index;               // 0 contacts, 1 messages
  int recordCount;         // 0 until the category's records are loaded
  Gdiplus::Image* picture;  // the category's picture, owned by the tree's parent
  int reserved;
};

class CTreeViewEx1 : public fw::CWindowImpl<CTreeViewEx1> {
 public:
  static constexpr int kItemHeight = 25;

  CTreeViewEx1() = default;
  ~CTreeViewEx1() override = default;

  // Takes over the tree control, loads the pictures and sets the row
  // height. Returns whether the control was taken over.
  bool SetUp(HWND tree);

  // Appends a category row below `parent`; null when it cannot be made.
  HTREEITEM InsertCategory(HTREEITEM parent, int index, const wchar_t* text, Gdiplus::Image* picture);
  // Sets a category's record count and, when `text` is not null, its text.
  void SetCategory(HTREEITEM item, const wchar_t* text, int recordCount);
  // The item's caption (at most 259 characters).
  std::wstring ItemText(HTREEITEM item) const;
  // The item data of a category row (null for other rows).
  CategoryData* Category(HTREEITEM item) const;

  // A row's check state: 1 checked, 0 unchecked.
  int GetCheck(HTREEITEM item) const;
  void SetCheck(HTREEITEM item, int state) const;
  // Whether a row is drawn and handled as a parent row.
  bool IsParentRow(HTREEITEM item) const;
  // A row's rectangle (the whole row, or its text only); empty when the
  // row is not visible.
  RECT ItemRect(HTREEITEM item, bool textOnly) const;
  // A row's check box, in client coordinates (empty without a strip).
  RECT CheckBoxRect(HTREEITEM item) const;

  // Draws the visible rows into a DC of the client size.
  void DoPaint(HDC dc);

  BEGIN_MSG_MAP(CTreeViewEx1)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDblClk)
    MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
    DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

 private:
  struct Layout;

  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled);
  LRESULT OnLButtonDblClk(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
  LRESULT OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled);

  Layout ReadLayout() const;
  void PaintRow(HDC dc, Gdiplus::Graphics& graphics, HTREEITEM item, const Layout& layout);
  void PaintParentRow(HDC dc, Gdiplus::Graphics& graphics, const RECT& row, HTREEITEM item, int sourceX);
  void PaintCategoryRow(HDC dc, Gdiplus::Graphics& graphics, const RECT& row, HTREEITEM item, int sourceX,
                        const Layout& layout);
  // Flips a row's box and tells the parent what changed.
  void ToggleRow(HTREEITEM item);
  void UpdateRootFromChildren() const;
  bool ShowsSelection() const;
  int CheckFrameWidth() const;

  Picture collapsedPicture_;
  Picture expandedPicture_;
  Picture checkStrip_;
  Picture parentPicture_;
  std::vector<std::unique_ptr<CategoryData>> categories_;
};

}  // namespace controls
