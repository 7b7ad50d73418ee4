#include "tests/gui/RecordViewsSupport.h"

#include <algorithm>
#include <cstdlib>

#include "controls/GdiObjects.h"

namespace view_test {

MainWindowStandIn::MainWindowStandIn(bool visible)
    : window_(::CreateWindowExW(0, L"STATIC", L"main window", WS_POPUP | (visible ? WS_VISIBLE : 0), 40, 40, 984,
                                674, nullptr, nullptr, nullptr, nullptr)) {}

MainWindowStandIn::~MainWindowStandIn() { ::DestroyWindow(window_); }

// The builder hands out const heads; the panes only read through them.
phone::ContactLists ContactListsOf(const records::ExportRecords& records) {
  phone::ContactLists lists;
  lists.contacts = const_cast<phone::ContactRecord*>(records.contacts);
  lists.dataRows = const_cast<phone::DataRowRecord*>(records.dataRows);
  lists.mimeTypes = const_cast<phone::MimeTypeRecord*>(records.mimeTypes);
  return lists;
}

phone::SmsLists SmsListsOf(const records::ExportRecords& records) {
  phone::SmsLists lists;
  lists.conversations = const_cast<phone::ConversationRecord*>(records.conversations);
  lists.messages = const_cast<phone::MessageRecord*>(records.messages);
  return lists;
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

}  // namespace view_test
