#pragma once
// Helpers of the contact card and conversation view tests: a parent of the
// main window's size, the record lists of a RecordBuilder, and a picture of
// what a window paints, read pixel by pixel.

#include <vector>

#include "framework/Win32.h"
#include "tests/gui/GuiTestSupport.h"
#include "phone/PhoneRecords.h"
#include "tests/records/ExportTestSupport.h"

namespace view_test {

using gui_test::ClientPicture;

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


}  // namespace view_test
