#include "controls/CAnimateImg.h"

#include "controls/GdiObjects.h"

namespace controls {

CAnimateImg::~CAnimateImg() { Stop(); }

bool CAnimateImg::LoadStrip(const std::wstring& name) {
  strip_ = LoadPicture(name);
  return strip_ != nullptr;
}

void CAnimateImg::SetFrames() {
  frames_ = kFrames;
  frameWidth_ = PictureWidth(strip_) / frames_;
  frameHeight_ = PictureHeight(strip_);
}

BOOL CAnimateImg::SetPos(int x, int y, UINT flags) {
  const BOOL placed = ::SetWindowPos(m_hWnd, nullptr, x, y, PictureWidth(strip_) / frames_, PictureHeight(strip_),
                                     flags | SWP_NOZORDER);
  client_ = GetClientRect();
  return placed;
}

void CAnimateImg::Start() {
  if (running_ || !IsWindow()) return;
  ::SetTimer(m_hWnd, timerId_, static_cast<UINT>(period_), nullptr);
  running_ = true;
}

void CAnimateImg::Stop() {
  if (!running_) return;
  if (IsWindow()) ::KillTimer(m_hWnd, timerId_);
  running_ = false;
}

LRESULT CAnimateImg::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam != timerId_) {
    handled = FALSE;
    return 0;
  }
  current_ = (current_ + 1) % frames_;
  ::InvalidateRect(m_hWnd, &client_, FALSE);
  return 0;
}

LRESULT CAnimateImg::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  PaintScope paint(m_hWnd);
  const RECT client = GetClientRect();
  MemoryDC canvas(paint.dc(), client);
  UniqueBrush fill(::CreateSolidBrush(kBackground));
  ::FillRect(canvas.dc(), &client, fill.get());
  if (strip_) {
    Gdiplus::Graphics graphics(canvas.dc());
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    graphics.DrawImage(strip_.get(), Gdiplus::Rect(0, 0, width, height), width * current_, 0, width, height,
                       Gdiplus::UnitPixel);
  }
  return 0;
}

}  // namespace controls
