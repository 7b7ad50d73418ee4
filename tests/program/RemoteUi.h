#pragma once
// Reading and driving the windows of another process: the tree's items
// (their texts and rectangles live in that process, so the requests go
// through memory allocated there), clicks and keys by posted messages, and
// the boxes the program opens.

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace program_test {

class RemoteUi {
 public:
  explicit RemoteUi(HANDLE process) : process_(process) {}

  // The tree's root and its children, in order.
  std::vector<HTREEITEM> TreeItems(HWND tree) const;
  std::wstring TreeItemText(HWND tree, HTREEITEM item) const;
  RECT TreeItemRect(HWND tree, HTREEITEM item) const;

 private:
  HANDLE process_;
};

// A press and release of the left button at a client point of `window`.
void ClickAt(HWND window, int x, int y);
// A key press and release sent to `window`.
void PressKey(HWND window, WPARAM key);
// The visible dialog owned by `owner` (a message box), or null.
HWND OwnedDialog(HWND owner);
// The text of a child control, through WM_GETTEXT (which crosses processes).
std::wstring ChildText(HWND dialog, int id);
bool ChildVisible(HWND dialog, int id);
int ProgressPosition(HWND mainWindow);

}  // namespace program_test
