#include "framework/Window.h"

#include <vector>

namespace fw {

RECT CWindow::GetClientRect() const {
  RECT rect{};
  ::GetClientRect(m_hWnd, &rect);
  return rect;
}

RECT CWindow::GetRectInParent() const {
  RECT rect{};
  ::GetWindowRect(m_hWnd, &rect);
  ::MapWindowPoints(HWND_DESKTOP, GetParent(), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::wstring CWindow::GetText() const {
  const int length = ::GetWindowTextLengthW(m_hWnd);
  std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
  ::GetWindowTextW(m_hWnd, text.data(), length + 1);
  return std::wstring(text.data());
}

void CWindow::CenterWindow() const {
  RECT window{};
  ::GetWindowRect(m_hWnd, &window);
  const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  RECT area{};
  if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
    ::GetWindowRect(owner, &area);
  } else {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    area = monitor.rcWork;
  }
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const int x = area.left + (area.right - area.left - width) / 2;
  const int y = area.top + (area.bottom - area.top - height) / 2;
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindow::ApplyRoundedRegion(bool redraw) const {
  const RECT client = GetClientRect();
  const HRGN region = ::CreateRoundRectRgn(0, 0, client.right + 1, client.bottom + 1, 5, 5);
  // The window owns the region once it is set; a failed call leaves it ours.
  if (::SetWindowRgn(m_hWnd, region, redraw ? TRUE : FALSE) == 0) ::DeleteObject(region);
}

bool ReturnsValueDirectly(UINT msg) {
  switch (msg) {
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return true;
    default:
      return false;
  }
}

}  // namespace fw
