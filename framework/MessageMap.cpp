#include "framework/MessageMap.h"

namespace fw {

namespace {

// The child a notification comes from, or null.
HWND notifyingChild(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
      return reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
    case WM_DRAWITEM:
      return wParam != 0 ? reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_MEASUREITEM:
      return wParam != 0 ? GetDlgItem(parent, static_cast<int>(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlID))
                         : nullptr;
    case WM_COMPAREITEM:
      return wParam != 0 ? reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_DELETEITEM:
      return wParam != 0 ? reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<HWND>(lParam);
    default:
      return nullptr;
  }
}

bool isColourMessage(UINT msg) { return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC; }

}  // namespace

LRESULT ReflectNotifications(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  const HWND child = notifyingChild(parent, msg, wParam, lParam);
  if (child == nullptr || !IsWindow(child)) {
    handled = FALSE;
    return 1;
  }
  const LRESULT result = SendMessageW(child, OCM_BASE + msg, wParam, lParam);
  if (result == 0 && isColourMessage(msg)) handled = FALSE;
  return result;
}

}  // namespace fw
