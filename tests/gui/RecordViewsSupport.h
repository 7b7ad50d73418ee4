#pragma once
// Helpers of the contact card and conversation view tests: a parent of the
// main window's size, the record lists of a RecordBuilder, and a picture of
// what a window paints, read pixel by pixel.

#include <vector>

#include "framework/Win32.h"
#include "phone/PhoneRecords.h"
#include "tests/records/ExportTestSupport.h"

namespace view_test {

// A plain top-level window of the main window's size (984 x 674), hidden
// unless asked: the panes place themselves in it as in the main window.
class MainWindowStandIn {
 public:
  explicit MainWindowStandIn(bool visible = false);
  ~MainWindowStandIn();
  MainWindowStandIn(const MainWindowStandIn&) = delete;
  MainWindowStandIn& operator=(const MainWindowStandIn&) = delete;
  HWND handle() const { return window_; }

 private:
  HWND window_;
};

// The live lists built so far, in the form the panes read them.
phone::ContactLists ContactListsOf(const records::ExportRecords& records);
phone::SmsLists SmsListsOf(const records::ExportRecords& records);

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

}  // namespace view_test
