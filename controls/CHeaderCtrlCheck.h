#pragma once
// The header of the record list, drawn from a skin bitmap. It carries a
// real check box at its left that checks or clears every row, shows the
// sort direction on the column the rows were last sorted by, and keeps its
// last column from being resized.

#include "controls/GdiObjects.h"
#include "controls/Pictures.h"
#include "framework/Window.h"

namespace controls {

// Sent by the header to the list when its check box was toggled:
// wParam = the new state, 1 checked or 0 unchecked.
constexpr UINT kHeaderCheckMessage = WM_USER + 104;

class CHeaderCtrlCheck : public fw::CWindowImpl<CHeaderCtrlCheck> {
 public:
  static constexpr int kHeight = 30;

  CHeaderCtrlCheck() = default;
  ~CHeaderCtrlCheck() override = default;

  // Loads the skin and the two sort arrows; returns whether both arrows
  // loaded. Call after taking the header over.
  bool LoadPictures();
  // Creates the all-rows check box at the header's left.
  void CreateCheckBox();

  // The check box's state: 1 checked, 0 unchecked.
  int GetCheck() const;
  void SetCheck(int state) const;
  HWND checkBox() const { return checkBox_; }

  // The sort state the arrows show: column -1 is none.
  void SetSortState(int column, bool ascending);
  int sortColumn() const { return sortColumn_; }
  bool sortAscending() const { return ascending_; }

  // Draws the header into a DC of its client size (also for WM_PRINTCLIENT).
  void DoPaint(HDC dc);

  // The header's own notifications reach the list, its parent; the list
  // hands them here first. Returns true with `result` set when the header
  // decides the answer (the last column's divider cannot be dragged).
  bool FilterNotification(const NMHDR& header, LPARAM lParam, LRESULT& result);

  BEGIN_MSG_MAP(CHeaderCtrlCheck)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    MESSAGE_HANDLER(HDM_LAYOUT, OnLayout)
    DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

 private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnCommand(UINT, WPARAM, LPARAM lParam, BOOL& handled);
  LRESULT OnLayout(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&);

  void PaintItem(HDC dc, int index, int clientHeight);

  UniqueBitmap background_;
  Picture ascendingArrow_;
  Picture descendingArrow_;
  int sortColumn_ = -1;
  bool ascending_ = true;
  HWND checkBox_ = nullptr;
};

}  // namespace controls
