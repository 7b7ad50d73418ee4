#include "controls/CHeaderCtrlCheck.h"

#include <vector>

#include "controls/TkFontPool.h"

namespace controls {

namespace {

constexpr COLORREF kDividerColour = RGB(210, 210, 210);
constexpr RECT kCheckBoxRect = {5, 7, 19, 21};
constexpr int kArrowFromRight = 20;
constexpr int kTextLength = 260;

std::wstring itemText(HWND header, int index) {
  std::vector<wchar_t> text(kTextLength + 1, L'\0');
  HDITEMW item{};
  item.mask = HDI_TEXT;
  item.pszText = text.data();
  item.cchTextMax = kTextLength;
  if (!::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return {};
  return std::wstring(item.pszText != nullptr ? item.pszText : L"");
}

void drawLine(HDC dc, int x0, int y0, int x1, int y1) {
  ::MoveToEx(dc, x0, y0, nullptr);
  ::LineTo(dc, x1, y1);
}

}  // namespace

bool CHeaderCtrlCheck::LoadPictures() {
  background_.reset(LoadBitmapPicture(L"list_hearder.bmp"));
  ascendingArrow_ = LoadPicture(L"inc.png");
  descendingArrow_ = LoadPicture(L"dec.png");
  return PictureWidth(ascendingArrow_) > 0 && PictureWidth(descendingArrow_) > 0;
}

void CHeaderCtrlCheck::CreateCheckBox() {
  if (checkBox_ != nullptr || m_hWnd == nullptr) return;
  checkBox_ = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_CHECKBOX, kCheckBoxRect.left,
                                kCheckBoxRect.top, kCheckBoxRect.right - kCheckBoxRect.left,
                                kCheckBoxRect.bottom - kCheckBoxRect.top, m_hWnd, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
}

int CHeaderCtrlCheck::GetCheck() const {
  return checkBox_ != nullptr && ::SendMessageW(checkBox_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void CHeaderCtrlCheck::SetCheck(int state) const {
  if (checkBox_ != nullptr) ::SendMessageW(checkBox_, BM_SETCHECK, state == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CHeaderCtrlCheck::SetSortState(int column, bool ascending) {
  sortColumn_ = column;
  ascending_ = ascending;
  Invalidate();
}

LRESULT CHeaderCtrlCheck::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  PaintScope paint(m_hWnd);
  DoPaint(paint.dc());
  return 0;
}

LRESULT CHeaderCtrlCheck::OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&) {
  DoPaint(reinterpret_cast<HDC>(wParam));
  return 0;
}

void CHeaderCtrlCheck::DoPaint(HDC dc) {
  const RECT client = GetClientRect();
  MemoryDC canvas(dc, client);
  const HDC mem = canvas.dc();
  BITMAP skin{};
  if (background_ && ::GetObjectW(background_.get(), sizeof skin, &skin) != 0 && skin.bmWidth > 2) {
    // The skin's third pixel column, stretched: the header is one gradient.
    const CompatibleDC source(mem);
    SelectScope bitmap(source.get(), background_.get());
    ::StretchBlt(mem, 0, 0, client.right, client.bottom, source.get(), 2, 0, 1, skin.bmHeight, SRCCOPY);
  } else {
    ::FillRect(mem, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }
  ::SetBkMode(mem, TRANSPARENT);
  UniqueGdi<HPEN> pen(::CreatePen(PS_SOLID, 1, kDividerColour));
  SelectScope penScope(mem, pen.get());
  SelectScope font(mem, TkFontPool::GetFont(0x100));
  drawLine(mem, 0, 0, 0, client.bottom);
  const int count = static_cast<int>(::SendMessageW(m_hWnd, HDM_GETITEMCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) PaintItem(mem, index, client.bottom);
}

void CHeaderCtrlCheck::PaintItem(HDC dc, int index, int clientHeight) {
  RECT item{};
  if (!::SendMessageW(m_hWnd, HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return;
  if (index > 0) drawLine(dc, item.left, 1, item.left, item.bottom);
  std::wstring text = itemText(m_hWnd, index);
  RECT textRect{item.left, 0, item.right, clientHeight};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
              DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  if (index != sortColumn_) return;
  const Picture& arrow = ascending_ ? ascendingArrow_ : descendingArrow_;
  if (PictureWidth(arrow) == 0) return;
  Gdiplus::Graphics graphics(dc);
  const int height = PictureHeight(arrow);
  const int y = item.top + (item.bottom - item.top - height) / 2;
  graphics.DrawImage(arrow.get(), item.right - kArrowFromRight, y, PictureWidth(arrow), height);
}

LRESULT CHeaderCtrlCheck::OnCommand(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  if (checkBox_ == nullptr || reinterpret_cast<HWND>(lParam) != checkBox_) {
    handled = FALSE;
    return 0;
  }
  const int state = GetCheck() == 1 ? 0 : 1;
  SetCheck(state);
  ::SendMessageW(GetParent(), kHeaderCheckMessage, static_cast<WPARAM>(state), 0);
  return 0;
}

LRESULT CHeaderCtrlCheck::OnLayout(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&) {
  const LRESULT result = DefWindowProc(msg, wParam, lParam);
  auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
  if (layout != nullptr && layout->pwpos != nullptr && layout->prc != nullptr) {
    layout->pwpos->cy = kHeight;
    layout->prc->top = layout->pwpos->y + kHeight;
  }
  return result;
}

bool CHeaderCtrlCheck::FilterNotification(const NMHDR& header, LPARAM lParam, LRESULT& result) {
  switch (header.code) {
    case HDN_BEGINTRACKW:
    case HDN_BEGINTRACKA:
    case HDN_DIVIDERDBLCLICKW:
    case HDN_DIVIDERDBLCLICKA: {
      const auto* notice = reinterpret_cast<const NMHEADERW*>(lParam);
      const int count = static_cast<int>(::SendMessageW(m_hWnd, HDM_GETITEMCOUNT, 0, 0));
      if (notice->iItem != count - 1) return false;
      result = 1;
      return true;
    }
    case HDN_TRACKW:
    case HDN_TRACKA:
    case HDN_ITEMCHANGEDW:
    case HDN_ITEMCHANGEDA:
      Invalidate();
      return false;
    default:
      return false;
  }
}

}  // namespace controls
