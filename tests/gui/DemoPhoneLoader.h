#pragma once
// Fills a main window with the demo phone's records the way a scan does:
// a recovery session per database, the scan's counting and loading, the
// captions, then the scan-finished handling. Runs on the test's thread.

#include <functional>
#include <string>

#include "app/CMainDlg.h"

namespace gui_test {

// Loads two copies; returns false when no live contact could be read.
bool LoadPhone(CMainDlg& window, const std::string& contactsCopy, const std::string& smsCopy);
// The demo phone of the source tree.
bool LoadDemoPhone(CMainDlg& window);

// Runs the window modally, loads the demo phone once it shows, does `drive`
// and closes it.
void RunWithDemoPhone(CMainDlg& window, const std::function<void(CMainDlg&, HWND)>& drive);

// A main window that reaches for no phone: its pages and records are the
// test's to set.
CMainDlg::Setup NoPhone();

}  // namespace gui_test
