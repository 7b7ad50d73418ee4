#include "controls/CTreeViewEx1.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "controls/DrawingHelpers.h"
#include "controls/TkFontPool.h"

namespace controls {

namespace {

constexpr int kCheckFrames = 5;
constexpr int kCheckedFrame = 3;
constexpr int kDisabledFrame = 4;
constexpr int kTextLength = 260;
constexpr COLORREF kSelectionTop = RGB(168, 229, 246);
constexpr COLORREF kSelectionBottom = RGB(241, 247, 249);
constexpr COLORREF kSelectedText = RGB(0, 0, 200);
constexpr COLORREF kDisabledText = RGB(200, 200, 200);
constexpr UINT kTextFormat = DT_END_ELLIPSIS | DT_SINGLELINE;

// The rectangle of a row (whole row, or text only), false when it is not
// visible. The request carries the item handle in the rectangle itself.
bool itemRect(HWND tree, HTREEITEM item, bool textOnly, RECT& rect) {
  std::memcpy(&rect, &item, sizeof item);
  return ::SendMessageW(tree, TVM_GETITEMRECT, textOnly ? TRUE : FALSE, reinterpret_cast<LPARAM>(&rect)) != 0;
}

int stateOf(UINT stateBits) { return static_cast<int>((stateBits & TVIS_STATEIMAGEMASK) >> 12); }

// Draws a picture at its own size, vertically centred in the row.
void drawCentred(Gdiplus::Graphics& graphics, Gdiplus::Image* picture, int x, const RECT& row) {
  if (picture == nullptr || picture->GetWidth() == 0) return;
  const int height = static_cast<int>(picture->GetHeight());
  const int y = row.top + (row.bottom - row.top - height) / 2;
  graphics.DrawImage(picture, x, y, static_cast<int>(picture->GetWidth()), height);
}

}  // namespace

// What one paint reads of the control before drawing its rows.
struct CTreeViewEx1::Layout {
  RECT client;
  int horizontalOffset;
  int totalWidth;
  bool showSelection;
};

bool CTreeViewEx1::SetUp(HWND tree) {
  if (!SubclassWindow(tree)) return false;
  collapsedPicture_ = LoadPicture(L"tree_closed.bmp");
  expandedPicture_ = LoadPicture(L"tree_opened.bmp");
  checkStrip_ = LoadPicture(L"checkboxes.png");
  parentPicture_ = LoadPicture(L"treeroot.png");
  Send(TVM_SETITEMHEIGHT, kItemHeight);
  return true;
}

HTREEITEM CTreeViewEx1::InsertCategory(HTREEITEM parent, int index, const wchar_t* text, Gdiplus::Image* picture) {
  auto data = std::make_unique<CategoryData>(CategoryData{index, 0, picture, 0});
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = const_cast<wchar_t*>(text);
  insert.item.lParam = reinterpret_cast<LPARAM>(data.get());
  const auto item = reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  if (item != nullptr) categories_.push_back(std::move(data));
  return item;
}

CategoryData* CTreeViewEx1::Category(HTREEITEM item) const {
  if (item == nullptr || IsParentRow(item)) return nullptr;
  TVITEMW data{};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  if (!Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) return nullptr;
  const auto* wanted = reinterpret_cast<const CategoryData*>(data.lParam);
  // Only the tree's own records count: a row inserted some other way has none.
  for (const auto& category : categories_) {
    if (category.get() == wanted) return category.get();
  }
  return nullptr;
}

void CTreeViewEx1::SetCategory(HTREEITEM item, const wchar_t* text, int recordCount) {
  CategoryData* data = Category(item);
  if (data == nullptr) return;
  data->recordCount = recordCount;
  data->reserved = 0;
  if (text != nullptr) {
    TVITEMW change{};
    change.mask = TVIF_TEXT;
    change.hItem = item;
    change.pszText = const_cast<wchar_t*>(text);
    Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
  }
  RECT row{};
  if (itemRect(m_hWnd, item, false, row)) ::InvalidateRect(m_hWnd, &row, FALSE);
}

int CTreeViewEx1::GetCheck(HTREEITEM item) const {
  const UINT state = static_cast<UINT>(Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK));
  return stateOf(state) == 2 ? 1 : 0;
}

void CTreeViewEx1::SetCheck(HTREEITEM item, int state) const {
  TVITEMW change{};
  change.mask = TVIF_STATE;
  change.hItem = item;
  change.stateMask = TVIS_STATEIMAGEMASK;
  change.state = INDEXTOSTATEIMAGEMASK(state == 1 ? 2 : 1);
  Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
}

bool CTreeViewEx1::IsParentRow(HTREEITEM item) const {
  TVITEMW data{};
  data.mask = TVIF_CHILDREN;
  data.hItem = item;
  Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
  const bool hasParent = Send(TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)) != 0;
  return data.cChildren != 0 || !hasParent;
}

RECT CTreeViewEx1::ItemRect(HTREEITEM item, bool textOnly) const {
  RECT rect{};
  if (!itemRect(m_hWnd, item, textOnly, rect)) return RECT{};
  return rect;
}

int CTreeViewEx1::CheckFrameWidth() const { return PictureWidth(checkStrip_) / kCheckFrames; }

std::wstring CTreeViewEx1::ItemText(HTREEITEM item) const {
  wchar_t text[260] = {};
  TVITEMW request{};
  request.mask = TVIF_TEXT;
  request.hItem = item;
  request.pszText = text;
  request.cchTextMax = 260;
  Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&request));
  return text;
}

RECT CTreeViewEx1::CheckBoxRect(HTREEITEM item) const {
  RECT row{};
  if (!itemRect(m_hWnd, item, false, row)) return RECT{};
  const int width = CheckFrameWidth();
  const int height = width > 0 ? PictureHeight(checkStrip_) : 0;
  const int left = row.left + (IsParentRow(item) ? 26 : width + 36);
  const int top = row.top + (row.bottom - row.top - height) / 2;
  return RECT{left, top, left + width, top + height};
}

bool CTreeViewEx1::ShowsSelection() const {
  const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
  return ::GetFocus() == m_hWnd || (style & TVS_SHOWSELALWAYS) != 0;
}

LRESULT CTreeViewEx1::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  PaintScope paint(m_hWnd);
  DoPaint(paint.dc());
  return 0;
}

LRESULT CTreeViewEx1::OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&) {
  DoPaint(reinterpret_cast<HDC>(wParam));
  return 0;
}

CTreeViewEx1::Layout CTreeViewEx1::ReadLayout() const {
  Layout layout{GetClientRect(), 0, 0, ShowsSelection()};
  SCROLLINFO horizontal{sizeof(SCROLLINFO), SIF_RANGE | SIF_POS, 0, 0, 0, 0, 0};
  const bool scrolls = (::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & WS_HSCROLL) != 0 &&
                       ::GetScrollInfo(m_hWnd, SB_HORZ, &horizontal) != FALSE;
  layout.horizontalOffset = scrolls ? -horizontal.nPos : layout.client.left;
  layout.totalWidth = std::max(static_cast<int>(layout.client.right - layout.client.left),
                               scrolls ? horizontal.nMax + 1 : 0);
  return layout;
}

void CTreeViewEx1::DoPaint(HDC dc) {
  const Layout layout = ReadLayout();
  MemoryDC canvas(dc, layout.client);
  ::PatBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), WHITENESS);
  ::SetBkMode(canvas.dc(), TRANSPARENT);
  Gdiplus::Graphics graphics(canvas.dc());
  auto item = reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
  while (item != nullptr) {
    PaintRow(canvas.dc(), graphics, item, layout);
    item = reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(item)));
  }
}

void CTreeViewEx1::PaintRow(HDC dc, Gdiplus::Graphics& graphics, HTREEITEM item, const Layout& layout) {
  RECT row{};
  if (!itemRect(m_hWnd, item, false, row)) return;
  const int sourceX = GetCheck(item) == 1 ? kCheckedFrame * CheckFrameWidth() : 0;
  if (IsParentRow(item)) {
    PaintParentRow(dc, graphics, row, item, sourceX);
  } else {
    PaintCategoryRow(dc, graphics, row, item, sourceX, layout);
  }
}

namespace {

std::wstring rowText(HWND tree, HTREEITEM item) {
  std::wstring text(kTextLength + 1, L'\0');
  TVITEMW data{};
  data.mask = TVIF_TEXT;
  data.hItem = item;
  data.pszText = text.data();
  data.cchTextMax = kTextLength;
  if (!::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) return {};
  return std::wstring(data.pszText != nullptr ? data.pszText : L"");
}

void drawRowText(HDC dc, const std::wstring& text, int left, const RECT& row, int height) {
  const int top = row.top + (row.bottom - row.top - 15) / 2;
  RECT rect{left, top, row.right, top + height};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, kTextFormat);
}

void drawStripAt(Gdiplus::Graphics& graphics, Gdiplus::Image* strip, int sourceX, int width, int x, const RECT& row) {
  if (strip == nullptr || width <= 0) return;
  const int height = static_cast<int>(strip->GetHeight());
  const int y = row.top + (row.bottom - row.top - height) / 2;
  graphics.DrawImage(strip, Gdiplus::Rect(x, y, width, height), sourceX, 0, width, height, Gdiplus::UnitPixel);
}

}  // namespace

void CTreeViewEx1::PaintParentRow(HDC dc, Gdiplus::Graphics& graphics, const RECT& row, HTREEITEM item,
                                  int sourceX) {
  const UINT state = static_cast<UINT>(Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED));
  const Picture& expander = (state & TVIS_EXPANDED) != 0 ? expandedPicture_ : collapsedPicture_;
  const int expanderWidth = PictureWidth(expander);
  const int boxWidth = CheckFrameWidth();
  drawCentred(graphics, expander.get(), row.left + 5, row);
  drawStripAt(graphics, checkStrip_.get(), sourceX, boxWidth, row.left + expanderWidth + 10, row);
  drawCentred(graphics, parentPicture_.get(), row.left + expanderWidth + boxWidth + 15, row);
  graphics.Flush();
  SelectScope font(dc, TkFontPool::GetFont(0x104));
  ::SetTextColor(dc, RGB(0, 0, 0));
  drawRowText(dc, rowText(m_hWnd, item), row.left + PictureWidth(parentPicture_) + boxWidth + 36, row, 16);
}

void CTreeViewEx1::PaintCategoryRow(HDC dc, Gdiplus::Graphics& graphics, const RECT& row, HTREEITEM item,
                                    int sourceX, const Layout& layout) {
  const CategoryData* data = Category(item);
  if (data == nullptr) return;
  const int boxWidth = CheckFrameWidth();
  const int pictureWidth = data->picture != nullptr ? static_cast<int>(data->picture->GetWidth()) : 0;
  const int textLeft = row.left + pictureWidth + 2 * boxWidth + 46;
  const bool selected =
      (Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_SELECTED) & TVIS_SELECTED) != 0 &&
      layout.showSelection;
  const bool enabled = data->recordCount != 0;
  if (enabled) {
    drawStripAt(graphics, checkStrip_.get(), sourceX, boxWidth, row.left + boxWidth + 36, row);
    if (selected) {
      graphics.Flush();
      const RECT band{textLeft, row.top, layout.totalWidth + layout.horizontalOffset, row.bottom};
      gradient_fillrect(dc, &band, kSelectionTop, kSelectionBottom, 0);
    }
  } else {
    drawStripAt(graphics, checkStrip_.get(), kDisabledFrame * boxWidth, boxWidth, row.left + boxWidth + 36, row);
  }
  drawCentred(graphics, data->picture, row.left + 2 * boxWidth + 41, row);
  graphics.Flush();
  SelectScope font(dc, TkFontPool::GetFont(0x100));
  ::SetTextColor(dc, !enabled ? kDisabledText : (selected ? kSelectedText : RGB(0, 0, 0)));
  drawRowText(dc, rowText(m_hWnd, item), textLeft, row, 15);
}

LRESULT CTreeViewEx1::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  TVHITTESTINFO hit{};
  hit.pt = POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  const auto item = reinterpret_cast<HTREEITEM>(Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (item == nullptr) {
    handled = FALSE;
    return 0;
  }
  // A category without records takes no click anywhere on its row.
  const CategoryData* data = Category(item);
  if (data != nullptr && data->recordCount == 0) return 0;
  if ((hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)) == 0) {
    handled = FALSE;
    return 0;
  }
  const RECT box = CheckBoxRect(item);
  if (::PtInRect(&box, hit.pt) != FALSE) {
    ToggleRow(item);
    return 0;
  }
  if ((hit.flags & TVHT_ONITEMSTATEICON) != 0) {
    // The control's own box lies here, undrawn; letting the click through
    // would flip it unseen. Select the row as a click beside a box does.
    ::SetFocus(m_hWnd);
    Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    return 0;
  }
  handled = FALSE;
  return 0;
}

LRESULT CTreeViewEx1::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  // The space bar toggles the selected row's box like a click on it; the
  // control's own toggle would change it without telling anyone.
  if (wParam != VK_SPACE) {
    handled = FALSE;
    return 0;
  }
  const auto item = reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (item == nullptr) return 0;
  const CategoryData* data = Category(item);
  if (data == nullptr && !IsParentRow(item)) return 0;
  if (data != nullptr && data->recordCount == 0) return 0;
  ToggleRow(item);
  return 0;
}

void CTreeViewEx1::ToggleRow(HTREEITEM item) {
  const int state = GetCheck(item) == 1 ? 0 : 1;
  SetCheck(item, state);
  const HWND parent = GetParent();
  if (IsParentRow(item)) {
    auto child = reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
    while (child != nullptr) {
      if (GetCheck(child) != state) {
        ::SendMessageW(parent, kCategoryCheckMessage, reinterpret_cast<WPARAM>(child), state);
        SetCheck(child, state);
      }
      child = reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
    }
  } else {
    UpdateRootFromChildren();
    ::SendMessageW(parent, kCategoryCheckMessage, reinterpret_cast<WPARAM>(item), state);
  }
  Invalidate();
}

void CTreeViewEx1::UpdateRootFromChildren() const {
  const auto root = reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_ROOT, 0));
  if (root == nullptr) return;
  int state = 1;
  auto child = reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
  while (child != nullptr && state == 1) {
    const CategoryData* data = Category(child);
    if (data != nullptr && data->recordCount != 0 && GetCheck(child) == 0) state = 0;
    child = reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
  }
  SetCheck(root, state);
}

}  // namespace controls
