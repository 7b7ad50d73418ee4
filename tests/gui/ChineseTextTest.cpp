// Chinese names and emoji drawn with the pool's Tahoma, as the contact card
// and the message bubbles draw them (DrawTextW). Tahoma has no Chinese
// glyphs: the system's font linking must supply them, or every character
// comes out as the same empty box.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "controls/TkFontPool.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/Screenshot.h"

namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 24;
const wchar_t kSample[] = L"\u5F20\u4F1F \u6536\u5230 \U0001F600";  // 张伟 收到 😀

// What DrawTextW makes of a text with the pool font: one byte per pixel,
// 1 where it is dark, in a white bitmap of kWidth x kHeight.
std::vector<std::uint8_t> Drawn(const std::wstring& text) {
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<std::uint8_t> dark;
  if (bitmap != nullptr && bits != nullptr) {
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    HGDIOBJ oldFont = ::SelectObject(dc, controls::TkFontPool::GetFont(0x100));
    RECT all{0, 0, kWidth, kHeight};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &all, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_SINGLELINE);
    ::GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int index = 0; index < kWidth * kHeight; ++index) dark.push_back((pixels[index] & 0xFF) < 128 ? 1 : 0);
    ::SelectObject(dc, oldFont);
    ::SelectObject(dc, oldBitmap);
    ::DeleteObject(bitmap);
  }
  ::DeleteDC(dc);
  return dark;
}

int DarkCount(const std::vector<std::uint8_t>& pixels) {
  int count = 0;
  for (std::uint8_t pixel : pixels) count += pixel;
  return count;
}

LRESULT CALLBACK SampleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return ::DefWindowProcW(window, message, wParam, lParam);
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(window, &paint);
  RECT client;
  ::GetClientRect(window, &client);
  ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  HGDIOBJ oldFont = ::SelectObject(dc, controls::TkFontPool::GetFont(0x100));
  ::SetBkMode(dc, TRANSPARENT);
  RECT text{10, 10, client.right - 10, client.bottom - 10};
  const std::wstring lines = std::wstring(L"Contact: ") + kSample + L"\nBody: \u4F60\u597D\uFF01\u4E0B\u5468\u89C1 Zo\u00EB";
  ::DrawTextW(dc, lines.c_str(), -1, &text, DT_LEFT | DT_TOP | DT_NOPREFIX);
  ::SelectObject(dc, oldFont);
  ::EndPaint(window, &paint);
  return 0;
}

}  // namespace

TEST(ChineseText, EachCharacterGetsItsOwnGlyph) {
  const std::vector<std::wstring> characters = {L"\u5F20", L"\u4F1F", L"\u6536", L"\u5230"};  // 张 伟 收 到
  // A private-use character no font has: what a missing glyph looks like.
  const std::vector<std::uint8_t> missing = Drawn(L"\uE000");
  std::vector<std::vector<std::uint8_t>> drawn;
  for (const std::wstring& character : characters) {
    drawn.push_back(Drawn(character));
    ASSERT_EQ(drawn.back().size(), static_cast<std::size_t>(kWidth * kHeight));
    EXPECT_GT(DarkCount(drawn.back()), 15) << "blank glyph for U+" << std::hex << static_cast<int>(character[0]);
    EXPECT_NE(drawn.back(), missing) << "the missing-glyph box for U+" << std::hex << static_cast<int>(character[0]);
  }
  for (std::size_t a = 0; a < drawn.size(); ++a) {
    for (std::size_t b = a + 1; b < drawn.size(); ++b) {
      EXPECT_NE(drawn[a], drawn[b]) << "characters " << a << " and " << b << " look the same";
    }
  }
  // The whole name with the emoji after it draws no less than its parts.
  EXPECT_GE(DarkCount(Drawn(kSample)), DarkCount(drawn[0]) + DarkCount(drawn[1]));
}

TEST(ChineseText, ScreenshotOfASmallWindow) {
  const std::wstring folder = gui_test::ScreenshotFolder();
  if (folder.empty()) GTEST_SKIP() << "ZR_SCREENSHOT_DIR is not set";
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = SampleProc;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"ZrChineseTextSample";
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  ::RegisterClassW(&windowClass);
  HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"\u5F20\u4F1F", WS_POPUP | WS_BORDER | WS_VISIBLE,
                                  40, 40, 320, 70, nullptr, nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  ::UpdateWindow(window);
  gui_test::PumpUntil([] { return false; }, 400);  // let the window reach the screen
  EXPECT_TRUE(gui_test::SaveWindowPng(window, folder + L"\\chinese-text.png"));
  ::DestroyWindow(window);
}
