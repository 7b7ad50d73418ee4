#pragma once
// The record list: a report list view that draws every row itself. Column 0
// carries a picture check box, and for a record carved from free space the
// "deleted" marker; such records are written in red. Rows are zebra
// striped and separated by grid lines. The header (CHeaderCtrlCheck) has
// the all-rows check box and shows the sort column.
//
// Each row's item data points to the record it shows. Every change of a
// row's check state that the user makes reaches the parent as
// kRowCheckMessage, so the parent keeps the records' checked flags in step.
//
// The rows live here, not in the control: the list view is virtual
// (LVS_OWNERDATA) and asks for what it shows. A phone has tens of thousands
// of records, and a list view that stores its items fills and searches them
// far too slowly at that size; the control's own check-box handling also
// cannot change a box behind the records' back this way.

#include <string>
#include <vector>

#include "controls/CHeaderCtrlCheck.h"
#include "controls/GdiObjects.h"
#include "controls/Pictures.h"
#include "framework/Window.h"

namespace controls {

// Sent to the parent for every row whose check box the user changed:
// wParam = row index, lParam = the new state, 1 checked or 0 unchecked.
constexpr UINT kRowCheckMessage = WM_USER + 100;

// What the rows' item data point to: 1 contact records, 2 conversation
// records (both carry a deleted flag the list reads); 0 nothing known.
enum RecordKind { kNoRecords = 0, kContactRecords = 1, kMessageRecords = 2 };

// State image indices of a row (and of a tree item).
constexpr int kStateUnchecked = 1;
constexpr int kStateChecked = 2;

// One row: its cell texts, its item data and its check box.
struct ListRow {
  std::vector<std::wstring> cells;
  LPARAM data = 0;
  bool checked = false;
};

class CListViewCheck1 : public fw::CWindowImpl<CListViewCheck1> {
 public:
  static constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                  LVS_OWNERDRAWFIXED | LVS_ALIGNLEFT | LVS_OWNERDATA;

  CListViewCheck1() = default;
  ~CListViewCheck1() override = default;

  // Row height answered to the measure request; set before creating.
  int m_nItemHeight = 50;

  // Creates the list as a child of `parent` with the record list's styles,
  // runs the set-up and turns on full-row selection and check boxes.
  HWND CreateList(HWND parent, const RECT& rect, int id);
  // Takes over the header, loads the pictures and makes the header's
  // check box. Returns whether both sort arrows loaded.
  bool SetUp();

  int InsertColumn(int index, int width, const wchar_t* title);
  // Appends a row with one text per column, unchecked; returns its index.
  // The caller sets the row's item data. For a few rows: a whole category
  // goes in through SetRows.
  int AddRow(const std::vector<std::wstring>& texts);
  // Replaces every row at once (the fast way to fill a category).
  void SetRows(std::vector<ListRow> rows);
  void SetRowData(int row, LPARAM data);
  LPARAM RowData(int row) const;
  int RowCount() const;
  // Deletes every row, then every column.
  void Clear();
  // Selects and focuses row 0 and scrolls it into view.
  void SelectFirstRow() const;

  // A row's check state: 1 checked, 0 unchecked. Setting it here is how
  // the owner changes a box without the user (no message is sent); nothing
  // else changes it.
  int GetCheck(int row) const;
  void SetCheck(int row, int state);
  // Sets every row, sending kRowCheckMessage for each (the header box).
  void SetAllRows(int state);

  // Sorts the rows by a column's text: ascending on a new column, the
  // other way round on the column sorted last (what a header click does).
  void SortByColumn(int column);

  void SetRecordKind(int kind) { recordKind_ = kind; }
  int recordKind() const { return recordKind_; }
  CHeaderCtrlCheck& header() { return header_; }
  // The check box of a row, in client coordinates (empty without a strip).
  RECT CheckBoxRect(int row) const;
  // Whether the record a row points to is a deleted one.
  bool IsDeletedRow(LPARAM data) const;
  // A cell's text (empty past the row's cells).
  std::wstring CellText(int row, int column) const;

  BEGIN_MSG_MAP(CListViewCheck1)
    MESSAGE_HANDLER(fw::OCM_DRAWITEM, OnDrawItem)
    MESSAGE_HANDLER(fw::OCM_MEASUREITEM, OnMeasureItem)
    MESSAGE_HANDLER(fw::OCM_COMPAREITEM, OnIgnoredItemMessage)
    MESSAGE_HANDLER(fw::OCM_DELETEITEM, OnIgnoredItemMessage)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
    MESSAGE_HANDLER(kHeaderCheckMessage, OnHeaderCheck)
    MESSAGE_HANDLER(fw::OCM_NOTIFY, OnReflectedNotify)
    MESSAGE_HANDLER(WM_NOTIFY, OnHeaderNotify)
    DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

 private:
  LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnIgnoredItemMessage(UINT, WPARAM, LPARAM, BOOL&) { return TRUE; }
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled);
  LRESULT OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled);
  LRESULT OnHeaderCheck(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled);
  LRESULT OnHeaderNotify(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);

  void DrawRow(const DRAWITEMSTRUCT& item);
  void DrawCell(HDC dc, const DRAWITEMSTRUCT& item, int column, bool deleted);
  // Flips a row's box as the user asked: header box, then the parent.
  void ToggleRow(int row);
  void RedrawRow(int row) const;
  void SyncItemCount() const;
  void AnswerDisplayInfo(NMLVDISPINFOW& info) const;
  bool ValidRow(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }
  void SyncHeaderCheck();
  int ColumnCount() const;
  int CheckFrameWidth() const;

  CHeaderCtrlCheck header_;
  Picture checkStrip_;
  Picture deletedMarker_;
  COLORREF oddRowColour_ = RGB(255, 255, 255);
  COLORREF evenRowColour_ = RGB(245, 245, 245);
  int recordKind_ = kNoRecords;
  std::vector<ListRow> rows_;
};

}  // namespace controls
