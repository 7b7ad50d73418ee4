#include "tests/gui/Screenshot.h"

#include <vector>

#include "controls/GdiObjects.h"
#include "tests/gui/GuiTestSupport.h"

namespace gui_test {

namespace {

bool pngEncoder(CLSID& encoder) {
  UINT count = 0;
  UINT size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
  std::vector<std::uint8_t> buffer(size);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
  for (UINT k = 0; k < count; ++k) {
    if (lstrcmpW(codecs[k].MimeType, L"image/png") == 0) {
      encoder = codecs[k].Clsid;
      return true;
    }
  }
  return false;
}

}  // namespace

std::wstring ScreenshotFolder() {
  wchar_t folder[1024] = {};
  const DWORD length = ::GetEnvironmentVariableW(L"ZR_SCREENSHOT_DIR", folder, 1024);
  return length > 0 && length < 1024 ? std::wstring(folder, length) : std::wstring();
}

bool SaveWindowPng(HWND window, const std::wstring& path) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpPending();
  RECT rect{};
  ::GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  controls::WindowDC screen(nullptr);
  controls::MemoryDC copy(screen.dc(), width, height);
  ::BitBlt(copy.dc(), 0, 0, width, height, screen.dc(), rect.left, rect.top, SRCCOPY);
  CLSID encoder{};
  if (!pngEncoder(encoder)) return false;
  Gdiplus::Bitmap bitmap(copy.bitmap(), nullptr);
  return bitmap.Save(path.c_str(), &encoder, nullptr) == Gdiplus::Ok;
}

}  // namespace gui_test
