#pragma once
// Helpers of the window tests: pumping messages until a condition holds,
// and reading pixels of what a window painted.

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/Win32.h"

namespace gui_test {

// Dispatches pending messages until `done` is true or `timeoutMs` passes;
// returns whether it became true. Never sleeps blindly.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// Dispatches the messages that are pending now.
void PumpPending();

// The colour at (x, y) of what the window paints (WM_PRINTCLIENT into a
// memory bitmap when it supports it, else the screen).
COLORREF PixelOf(HWND window, int x, int y);

// Renders a window's client area through its paint handler into a bitmap
// and returns the colour at (x, y).
COLORREF PaintedPixel(HWND window, int x, int y);

// The client area as the window paints it (WM_PRINTCLIENT).
class ClientPicture {
 public:
  explicit ClientPicture(HWND window);

  COLORREF At(int x, int y) const;
  // Pixels of `rect` whose channels each lie within `tolerance` of `colour`.
  int CountNear(const RECT& rect, COLORREF colour, int tolerance) const;
  // Runs of rows of `rect` that hold such a pixel, separated by rows that
  // hold none: the lines of text drawn there.
  int TextBands(const RECT& rect, COLORREF colour, int tolerance) const;

 private:
  bool Near(int x, int y, COLORREF colour, int tolerance) const;

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;  // top-down, 0x00RRGGBB
};

// Runs `body` once a modal dialog owned by the current thread appears
// (class #32770 with the given owner), then returns. Used to drive boxes
// that run their own message loop.
void WhenDialogAppears(HWND owner, const std::function<void(HWND)>& body);

}  // namespace gui_test
