#include "tests/gui/GuiTestSupport.h"

#include <algorithm>
#include <cstdlib>

#include "controls/GdiObjects.h"

namespace gui_test {

void PumpPending() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (static_cast<int>(::GetTickCount() - start) > timeoutMs) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    PumpPending();
  }
  return true;
}

COLORREF PaintedPixel(HWND window, int x, int y) {
  RECT client{};
  ::GetClientRect(window, &client);
  controls::WindowDC screen(window);
  controls::MemoryDC canvas(screen.dc(), client.right, client.bottom);
  ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  return ::GetPixel(canvas.dc(), x, y);
}

ClientPicture::ClientPicture(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  width_ = client.right;
  height_ = client.bottom;
  if (width_ <= 0 || height_ <= 0) return;
  controls::WindowDC screen(window);
  controls::MemoryDC canvas(screen.dc(), width_, height_);
  ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
  // The bitmap must not be selected while its bits are read.
  const HBITMAP spare = ::CreateCompatibleBitmap(screen.dc(), 1, 1);
  const HGDIOBJ bitmap = ::SelectObject(canvas.dc(), spare);
  ::GetDIBits(canvas.dc(), static_cast<HBITMAP>(bitmap), 0, static_cast<UINT>(height_), pixels_.data(), &info,
              DIB_RGB_COLORS);
  ::SelectObject(canvas.dc(), bitmap);
  ::DeleteObject(spare);
}

COLORREF ClientPicture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  const std::uint32_t pixel = pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + x];
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

bool ClientPicture::Near(int x, int y, COLORREF colour, int tolerance) const {
  const COLORREF pixel = At(x, y);
  if (pixel == CLR_INVALID) return false;
  return std::abs(GetRValue(pixel) - GetRValue(colour)) <= tolerance &&
         std::abs(GetGValue(pixel) - GetGValue(colour)) <= tolerance &&
         std::abs(GetBValue(pixel) - GetBValue(colour)) <= tolerance;
}

int ClientPicture::CountNear(const RECT& rect, COLORREF colour, int tolerance) const {
  int count = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) count += Near(x, y, colour, tolerance) ? 1 : 0;
  }
  return count;
}

int ClientPicture::TextBands(const RECT& rect, COLORREF colour, int tolerance) const {
  int bands = 0;
  bool inBand = false;
  for (int y = rect.top; y < rect.bottom; ++y) {
    bool found = false;
    for (int x = rect.left; x < rect.right && !found; ++x) found = Near(x, y, colour, tolerance);
    if (found && !inBand) ++bands;
    inBand = found;
  }
  return bands;
}

COLORREF PixelOf(HWND window, int x, int y) {
  ::UpdateWindow(window);
  controls::WindowDC dc(window);
  return ::GetPixel(dc.dc(), x, y);
}

namespace {

struct DialogSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK findDialog(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<DialogSearch*>(context);
  wchar_t name[16] = {};
  ::GetClassNameW(window, name, 16);
  if (lstrcmpW(name, L"#32770") == 0 && ::GetWindow(window, GW_OWNER) == search->owner && ::IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

struct PendingBody {
  HWND owner;
  std::function<void(HWND)> body;
};

PendingBody* pending = nullptr;

void CALLBACK lookForDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  if (pending == nullptr) return;
  DialogSearch search{pending->owner, nullptr};
  ::EnumThreadWindows(::GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return;
  ::KillTimer(nullptr, timer);
  PendingBody* job = pending;
  pending = nullptr;
  job->body(search.found);
  delete job;
}

}  // namespace

void WhenDialogAppears(HWND owner, const std::function<void(HWND)>& body) {
  delete pending;
  pending = new PendingBody{owner, body};
  ::SetTimer(nullptr, 0, 30, lookForDialog);
}

}  // namespace gui_test
