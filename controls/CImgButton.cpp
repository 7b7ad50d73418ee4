#include "controls/CImgButton.h"

namespace controls {

namespace {

HCURSOR handCursor() {
  static const HCURSOR cursor = ::LoadCursorW(nullptr, IDC_HAND);
  return cursor;
}

}  // namespace

POINT CImgButton::PlaceInParent(int x, int y, int width, int height, const RECT& parentClient) {
  if (x < 0) x = parentClient.right + x - width;
  if (y < 0) y = parentClient.bottom + y - height;
  return POINT{x, y};
}

int CImgButton::Attach(HWND control, const std::wstring& stripName, int x, int y, int frames) {
  if (control == nullptr || !::IsWindow(control)) return 0;
  if (m_hWnd != control) {
    UnsubclassWindow();
    if (!SubclassWindow(control)) return 0;
  }
  const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
  if ((style & BS_TYPEMASK) != BS_OWNERDRAW) {
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
  }
  strip_ = LoadPicture(stripName);
  frameCount_ = frames > 0 ? frames : 1;
  frameWidth_ = PictureWidth(strip_) / frameCount_;
  frameHeight_ = PictureHeight(strip_);
  RECT parentClient{};
  ::GetClientRect(GetParent(), &parentClient);
  const POINT at = PlaceInParent(x, y, frameWidth_, frameHeight_, parentClient);
  background_.reset();
  ::SetWindowPos(m_hWnd, HWND_TOP, at.x, at.y, frameWidth_, frameHeight_, SWP_SHOWWINDOW);
  WindowDC parentDC(GetParent());
  background_.reset(::CreateCompatibleBitmap(parentDC.dc(), std::max(frameWidth_, 1), std::max(frameHeight_, 1)));
  return 1;
}

void CImgButton::CaptureBackground(HDC parentDC) {
  if (!IsWindow() || !background_) return;
  const RECT rect = GetRectInParent();
  const CompatibleDC dc(parentDC);
  SelectScope select(dc.get(), background_.get());
  ::BitBlt(dc.get(), 0, 0, frameWidth_, frameHeight_, parentDC, rect.left, rect.top, SRCCOPY);
}

int CImgButton::FrameFor(UINT itemState) const {
  if ((itemState & ODS_SELECTED) != 0) return kButtonPressed;
  return hover_ ? kButtonHover : kButtonNormal;
}

LRESULT CImgButton::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& handled) {
  if (::GetCapture() == m_hWnd) {
    // Pressed and dragged: pushed only while the cursor is over the button.
    POINT cursor{};
    ::GetCursorPos(&cursor);
    Send(BM_SETSTATE, ::WindowFromPoint(cursor) == m_hWnd ? TRUE : FALSE);
  } else if (!hover_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
    hover_ = ::TrackMouseEvent(&track) != FALSE;
    Invalidate();
  }
  handled = FALSE;
  return 0;
}

LRESULT CImgButton::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&) {
  hover_ = false;
  Invalidate();
  return 0;
}

LRESULT CImgButton::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& handled) {
  if (hover_) {
    TRACKMOUSEEVENT track{sizeof track, TME_CANCEL | TME_LEAVE, m_hWnd, 0};
    if (::TrackMouseEvent(&track)) hover_ = false;
  }
  handled = FALSE;
  return 0;
}

LRESULT CImgButton::OnSetCursor(UINT, WPARAM, LPARAM, BOOL& handled) {
  if (handCursor() == nullptr) {
    handled = FALSE;
    return 0;
  }
  ::SetCursor(handCursor());
  return TRUE;
}

LRESULT CImgButton::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&) {
  DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
  return TRUE;
}

void CImgButton::DrawItem(const DRAWITEMSTRUCT& item) {
  MemoryDC canvas(item.hDC, RECT{item.rcItem.left, item.rcItem.top, item.rcItem.left + frameWidth_,
                                 item.rcItem.top + frameHeight_});
  if (background_) {
    const CompatibleDC source(item.hDC);
    SelectScope select(source.get(), background_.get());
    ::BitBlt(canvas.dc(), 0, 0, frameWidth_, frameHeight_, source.get(), 0, 0, SRCCOPY);
  }
  Gdiplus::Graphics graphics(canvas.dc());
  DrawStripFrame(graphics, strip_, frameCount_, FrameFor(item.itemState), 0, 0);
}

}  // namespace controls
