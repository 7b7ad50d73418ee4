#include "controls/CListViewCheck1.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <numeric>

#include "controls/TkFontPool.h"
#include "phone/RecordLayouts.h"

namespace controls {

namespace {

constexpr COLORREF kGridColour = RGB(220, 220, 220);
constexpr COLORREF kSelectedRowColour = RGB(161, 219, 238);
constexpr COLORREF kDeletedTextColour = RGB(255, 0, 0);
constexpr int kCheckBoxLeft = 5;
constexpr int kCheckFrames = 4;
constexpr int kCheckedFrame = 2;
constexpr int kUncheckedFrame = 0;
constexpr int kTextLength = 260;
constexpr UINT kCellFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER | DT_CENTER;

void fillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  ::SetBkColor(dc, colour);
  ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void drawLine(HDC dc, int x0, int y0, int x1, int y1) {
  ::MoveToEx(dc, x0, y0, nullptr);
  ::LineTo(dc, x1, y1);
}

// The collation key of a cell text: comparing two keys byte by byte orders
// the texts as lstrcmpW does (same locale, no flags), at a fraction of the
// cost of a collation per comparison.
std::string collationKey(const std::wstring& text) {
  const LCID locale = ::GetThreadLocale();
  const int size = ::LCMapStringW(locale, LCMAP_SORTKEY, text.c_str(), -1, nullptr, 0);
  std::string key(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    ::LCMapStringW(locale, LCMAP_SORTKEY, text.c_str(), -1, reinterpret_cast<wchar_t*>(key.data()), size);
  }
  return key;
}

// Copies a text into a buffer of `capacity` units, cut to fit, terminated.
void copyText(const std::wstring& text, wchar_t* buffer, int capacity) {
  if (buffer == nullptr || capacity <= 0) return;
  const std::size_t count = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
  std::copy_n(text.begin(), count, buffer);
  buffer[count] = L'\0';
}

}  // namespace

HWND CListViewCheck1::CreateList(HWND parent, const RECT& rect, int id) {
  if (Create(WC_LISTVIEWW, parent, rect, L"datalistview", kStyle, 0, id) == nullptr) return nullptr;
  SetUp();
  Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
  // The list asks its parent for the row height when its size changes; ask
  // again now that the list is ours to answer.
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, width + 1, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return m_hWnd;
}

bool CListViewCheck1::SetUp() {
  header_.SubclassWindow(reinterpret_cast<HWND>(Send(LVM_GETHEADER)));
  const bool arrows = header_.LoadPictures();
  checkStrip_ = LoadPicture(L"checkbox.png");
  deletedMarker_ = LoadPicture(L"deleted.png");
  header_.CreateCheckBox();
  return arrows;
}

int CListViewCheck1::InsertColumn(int index, int width, const wchar_t* title) {
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
  column.fmt = LVCFMT_CENTER;
  column.cx = width;
  column.pszText = const_cast<wchar_t*>(title);
  return static_cast<int>(Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

int CListViewCheck1::AddRow(const std::vector<std::wstring>& texts) {
  rows_.push_back(ListRow{texts, 0, false});
  Send(LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
  return static_cast<int>(rows_.size()) - 1;
}

void CListViewCheck1::SetRows(std::vector<ListRow> rows) {
  rows_ = std::move(rows);
  SyncItemCount();
}

void CListViewCheck1::SyncItemCount() const {
  Send(LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOSCROLL);
  Invalidate();
}

void CListViewCheck1::SetRowData(int row, LPARAM data) {
  if (ValidRow(row)) rows_[static_cast<std::size_t>(row)].data = data;
}

LPARAM CListViewCheck1::RowData(int row) const {
  return ValidRow(row) ? rows_[static_cast<std::size_t>(row)].data : 0;
}

int CListViewCheck1::RowCount() const { return static_cast<int>(rows_.size()); }

int CListViewCheck1::ColumnCount() const {
  return header_.m_hWnd != nullptr ? static_cast<int>(::SendMessageW(header_.m_hWnd, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

void CListViewCheck1::Clear() {
  rows_.clear();
  Send(LVM_DELETEALLITEMS);
  while (Send(LVM_DELETECOLUMN, 0)) {
  }
  header_.SetSortState(-1, true);
}

void CListViewCheck1::SelectFirstRow() const {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  Send(LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
  Send(LVM_ENSUREVISIBLE, 0, FALSE);
}

int CListViewCheck1::GetCheck(int row) const {
  return ValidRow(row) && rows_[static_cast<std::size_t>(row)].checked ? 1 : 0;
}

void CListViewCheck1::SetCheck(int row, int state) {
  if (!ValidRow(row)) return;
  rows_[static_cast<std::size_t>(row)].checked = state == 1;
  RedrawRow(row);
}

void CListViewCheck1::RedrawRow(int row) const { Send(LVM_REDRAWITEMS, static_cast<WPARAM>(row), row); }

void CListViewCheck1::SetAllRows(int state) {
  const int checked = state == 1 ? 1 : 0;
  const int rows = RowCount();
  for (int row = 0; row < rows; ++row) {
    SetCheck(row, checked);
    ::SendMessageW(GetParent(), kRowCheckMessage, static_cast<WPARAM>(row), checked);
  }
}

void CListViewCheck1::SortByColumn(int column) {
  const bool ascending = column == header_.sortColumn() ? !header_.sortAscending() : true;
  header_.SetSortState(column, ascending);
  // Keys are made once per row; the sort then compares bytes. Rows with
  // equal texts keep their order.
  std::vector<std::string> keys;
  keys.reserve(rows_.size());
  for (std::size_t row = 0; row < rows_.size(); ++row) keys.push_back(collationKey(CellText(static_cast<int>(row), column)));
  std::vector<std::size_t> order(rows_.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    // The keys end with a NUL byte, so C string order is the keys' order.
    const int compared = std::strcmp(keys[a].c_str(), keys[b].c_str());
    return ascending ? compared < 0 : compared > 0;
  });
  // The selection follows its row to its new place.
  const int selected = static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  std::vector<ListRow> sorted;
  sorted.reserve(rows_.size());
  int newSelected = -1;
  for (std::size_t place = 0; place < order.size(); ++place) {
    if (static_cast<int>(order[place]) == selected) newSelected = static_cast<int>(place);
    sorted.push_back(std::move(rows_[order[place]]));
  }
  rows_ = std::move(sorted);
  if (selected >= 0 && newSelected >= 0) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    Send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    Send(LVM_SETITEMSTATE, static_cast<WPARAM>(newSelected), reinterpret_cast<LPARAM>(&item));
  }
  Invalidate();
}

bool CListViewCheck1::IsDeletedRow(LPARAM data) const {
  if (data == 0) return false;
  if (recordKind_ == kContactRecords) return reinterpret_cast<const phone::ContactRecord*>(data)->deleted != 0;
  if (recordKind_ == kMessageRecords) return reinterpret_cast<const phone::ConversationRecord*>(data)->deleted != 0;
  return false;
}

int CListViewCheck1::CheckFrameWidth() const { return PictureWidth(checkStrip_) / kCheckFrames; }

RECT CListViewCheck1::CheckBoxRect(int row) const {
  RECT bounds{};
  bounds.left = LVIR_BOUNDS;
  if (!Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds))) return RECT{};
  const int width = CheckFrameWidth();
  const int height = width > 0 ? PictureHeight(checkStrip_) : 0;
  const int top = bounds.top + (bounds.bottom - bounds.top - height) / 2;
  return RECT{bounds.left + kCheckBoxLeft, top, bounds.left + kCheckBoxLeft + width, top + height};
}

std::wstring CListViewCheck1::CellText(int row, int column) const {
  if (!ValidRow(row) || column < 0) return {};
  const std::vector<std::wstring>& cells = rows_[static_cast<std::size_t>(row)].cells;
  return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)] : std::wstring();
}

void CListViewCheck1::AnswerDisplayInfo(NMLVDISPINFOW& info) const {
  LVITEMW& item = info.item;
  if (!ValidRow(item.iItem)) return;
  if ((item.mask & LVIF_TEXT) != 0) copyText(CellText(item.iItem, item.iSubItem), item.pszText, item.cchTextMax);
  if ((item.mask & LVIF_STATE) != 0) {
    item.state = (item.state & ~LVIS_STATEIMAGEMASK) |
                 INDEXTOSTATEIMAGEMASK(GetCheck(item.iItem) == 1 ? kStateChecked : kStateUnchecked);
    item.stateMask |= LVIS_STATEIMAGEMASK;
  }
  if ((item.mask & LVIF_PARAM) != 0) item.lParam = RowData(item.iItem);
}

LRESULT CListViewCheck1::OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL&) {
  reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(m_nItemHeight);
  return TRUE;
}

LRESULT CListViewCheck1::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&) {
  DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
  return TRUE;
}

void CListViewCheck1::DrawRow(const DRAWITEMSTRUCT& item) {
  const RECT& row = item.rcItem;
  MemoryDC canvas(item.hDC, row);
  const HDC dc = canvas.dc();
  const RECT whole{0, 0, row.right - row.left, row.bottom - row.top};
  const bool odd = (item.itemID % 2) == 1;
  fillSolid(dc, whole, (item.itemState & ODS_SELECTED) != 0 ? kSelectedRowColour
                                                              : (odd ? oddRowColour_ : evenRowColour_));
  UniqueGdi<HPEN> pen(::CreatePen(PS_SOLID, 1, kGridColour));
  SelectScope penScope(dc, pen.get());
  SelectScope font(dc, TkFontPool::GetFont(0x100));
  drawLine(dc, 0, 0, 0, whole.bottom);
  drawLine(dc, 0, whole.bottom - 1, whole.right, whole.bottom - 1);
  ::SetBkMode(dc, TRANSPARENT);
  const bool deleted = IsDeletedRow(RowData(static_cast<int>(item.itemID)));
  const int columns = ColumnCount();
  for (int column = 0; column < columns; ++column) DrawCell(dc, item, column, deleted);
}

void CListViewCheck1::DrawCell(HDC dc, const DRAWITEMSTRUCT& item, int column, bool deleted) {
  const int row = static_cast<int>(item.itemID);
  RECT label{};
  label.top = column;
  label.left = LVIR_LABEL;
  if (!Send(LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label))) return;
  // Cell rectangles are in client coordinates; the row's bitmap starts at
  // the row's left edge, which the horizontal scroll moves.
  const int height = item.rcItem.bottom - item.rcItem.top;
  RECT text{label.left - item.rcItem.left, 0, label.right - item.rcItem.left, height};
  if (column == 0) {
    Gdiplus::Graphics graphics(dc);
    const int frameWidth = CheckFrameWidth();
    text.left += frameWidth + 10;
    const int boxY = (height - PictureHeight(checkStrip_)) / 2;
    DrawStripFrame(graphics, checkStrip_, kCheckFrames, GetCheck(row) == 1 ? kCheckedFrame : kUncheckedFrame,
                   kCheckBoxLeft, boxY);
    if (deleted && PictureWidth(deletedMarker_) > 0) {
      const int markerY = (height - PictureHeight(deletedMarker_)) / 2;
      graphics.DrawImage(deletedMarker_.get(), frameWidth + 10, markerY, PictureWidth(deletedMarker_),
                         PictureHeight(deletedMarker_));
      text.left += PictureWidth(deletedMarker_) + 5;
    }
  } else {
    drawLine(dc, text.left, 0, text.left, height);
  }
  ::SetTextColor(dc, deleted ? kDeletedTextColour : RGB(0, 0, 0));
  std::wstring cell = CellText(row, column);
  if (cell.size() > kTextLength) cell.resize(kTextLength);  // no cell shows more
  ::DrawTextW(dc, cell.c_str(), static_cast<int>(cell.size()), &text, kCellFormat);
}

LRESULT CListViewCheck1::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  LVHITTESTINFO hit{};
  hit.pt = POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  const int row = static_cast<int>(Send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  const RECT box = row >= 0 && (hit.flags & LVHT_ONITEM) != 0 ? CheckBoxRect(row) : RECT{};
  if (row < 0 || ::PtInRect(&box, hit.pt) == FALSE) {
    handled = FALSE;  // a click beside the box selects the row
    return 0;
  }
  ToggleRow(row);
  return 0;
}

LRESULT CListViewCheck1::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  // The space bar toggles the focused row's box like a click on it, so
  // that the keyboard cannot change a box behind the records' back.
  if (wParam != VK_SPACE) {
    handled = FALSE;
    return 0;
  }
  const int row = static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  if (row >= 0) ToggleRow(row);
  return 0;
}

void CListViewCheck1::ToggleRow(int row) {
  const int state = GetCheck(row) == 1 ? 0 : 1;
  SetCheck(row, state);
  SyncHeaderCheck();
  ::SendMessageW(GetParent(), kRowCheckMessage, static_cast<WPARAM>(row), state);
}

void CListViewCheck1::SyncHeaderCheck() {
  const int rows = RowCount();
  int all = 1;
  for (int row = 0; row < rows && all == 1; ++row) all = GetCheck(row);
  header_.SetCheck(all);
}

LRESULT CListViewCheck1::OnHeaderCheck(UINT, WPARAM wParam, LPARAM, BOOL&) {
  SetAllRows(wParam == 1 ? 1 : 0);
  return 0;
}

LRESULT CListViewCheck1::OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->code == LVN_COLUMNCLICK) {
    SortByColumn(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
    return 0;
  }
  if (header->code == LVN_GETDISPINFOW) {
    AnswerDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
    return 0;
  }
  if (header->code == LVN_ODFINDITEMW) return -1;  // typing does not search the rows
  handled = FALSE;
  return 0;
}

LRESULT CListViewCheck1::OnHeaderNotify(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  const auto* notice = reinterpret_cast<const NMHDR*>(lParam);
  LRESULT result = 0;
  if (notice == nullptr || notice->hwndFrom != header_.m_hWnd ||
      !header_.FilterNotification(*notice, lParam, result)) {
    handled = FALSE;
    return 0;
  }
  (void)msg;
  (void)wParam;
  return result;
}

}  // namespace controls
