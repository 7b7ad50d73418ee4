#pragma once
// Message maps: a window class lists the messages it handles as a table,
// and each handler is a short member function that cracks its parameters.
//
//   BEGIN_MSG_MAP(CMyDlg)
//     MESSAGE_HANDLER(WM_PAINT, OnPaint)
//     COMMAND_ID_HANDLER(1000, OnClose)
//     REFLECT_NOTIFICATIONS()
//   END_MSG_MAP()
//
// Handlers:
//   LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
//   LRESULT OnCommand(WORD code, WORD id, HWND control, BOOL& handled);
//   LRESULT OnNotify(int id, NMHDR* header, BOOL& handled);
// A handler that sets `handled` to FALSE lets the message go on down the map.

#include "framework/Win32.h"

namespace fw {

// Reflected messages: a parent sends a child's notification back to the
// child as OCM_BASE + the original message, so a control can draw itself.
constexpr UINT OCM_BASE = WM_USER + 0x1C00;
constexpr UINT OCM_COMMAND = OCM_BASE + WM_COMMAND;
constexpr UINT OCM_NOTIFY = OCM_BASE + WM_NOTIFY;
constexpr UINT OCM_DRAWITEM = OCM_BASE + WM_DRAWITEM;
constexpr UINT OCM_MEASUREITEM = OCM_BASE + WM_MEASUREITEM;
constexpr UINT OCM_COMPAREITEM = OCM_BASE + WM_COMPAREITEM;
constexpr UINT OCM_DELETEITEM = OCM_BASE + WM_DELETEITEM;
constexpr UINT OCM_CTLCOLORMSGBOX = OCM_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT OCM_CTLCOLOREDIT = OCM_BASE + WM_CTLCOLOREDIT;
constexpr UINT OCM_CTLCOLORLISTBOX = OCM_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT OCM_CTLCOLORBTN = OCM_BASE + WM_CTLCOLORBTN;
constexpr UINT OCM_CTLCOLORDLG = OCM_BASE + WM_CTLCOLORDLG;
constexpr UINT OCM_CTLCOLORSCROLLBAR = OCM_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT OCM_CTLCOLORSTATIC = OCM_BASE + WM_CTLCOLORSTATIC;
constexpr UINT OCM_FIRST = OCM_BASE + WM_CREATE;     // the lowest message that is reflected
constexpr UINT OCM_LAST = OCM_BASE + WM_CTLCOLORSTATIC;

// What every window class with a message map offers its window procedure.
class MessageMapOwner {
 public:
  virtual BOOL ProcessWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

 protected:
  ~MessageMapOwner() = default;
};

// Sends a child's notification back to the child as an OCM_ message.
// Sets `handled` to FALSE when the message names no child, and when a
// colour message (WM_CTLCOLOR*) comes back as 0: the child chose no brush,
// so the parent's own handling or the default one gives it.
LRESULT ReflectNotifications(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);

}  // namespace fw

#define BEGIN_MSG_MAP(theClass)                                                                      \
  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) \
      override {                                                                                     \
    BOOL bHandled = TRUE;                                                                            \
    (void)hWnd;                                                                                      \
    (void)bHandled;

#define MESSAGE_HANDLER(msg, func)                        \
  if (uMsg == (msg)) {                                    \
    bHandled = TRUE;                                      \
    lResult = func(uMsg, wParam, lParam, bHandled);       \
    if (bHandled) return TRUE;                            \
  }

// One handler for every message from `first` to `last`, both included.
#define MESSAGE_RANGE_HANDLER(first, last, func)         \
  if (uMsg >= (first) && uMsg <= (last)) {               \
    bHandled = TRUE;                                     \
    lResult = func(uMsg, wParam, lParam, bHandled);      \
    if (bHandled) return TRUE;                           \
  }

#define COMMAND_ID_HANDLER(id, func)                                                                \
  if (uMsg == WM_COMMAND && LOWORD(wParam) == (id)) {                                               \
    bHandled = TRUE;                                                                                \
    lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);       \
    if (bHandled) return TRUE;                                                                      \
  }

#define COMMAND_RANGE_HANDLER(first, last, func)                                                    \
  if (uMsg == WM_COMMAND && LOWORD(wParam) >= (first) && LOWORD(wParam) <= (last)) {                \
    bHandled = TRUE;                                                                                \
    lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);       \
    if (bHandled) return TRUE;                                                                      \
  }

#define NOTIFY_HANDLER(id, notifyCode, func)                                                              \
  if (uMsg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->idFrom == static_cast<UINT_PTR>(id) && \
      reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(notifyCode)) {                          \
    bHandled = TRUE;                                                                                \
    lResult = func(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), bHandled);           \
    if (bHandled) return TRUE;                                                                      \
  }

// Hands the message to a base class's map (a base that handles part of
// every window's messages, such as the skinned dialogs' painting).
#define CHAIN_MSG_MAP(theChainClass)                                                  \
  if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;

#define REFLECT_NOTIFICATIONS()                                                       \
  {                                                                                   \
    bHandled = TRUE;                                                                  \
    lResult = ::fw::ReflectNotifications(hWnd, uMsg, wParam, lParam, bHandled);       \
    if (bHandled) return TRUE;                                                        \
  }

// In a control: a reflected message it does not handle gets the default
// handling of the plain message.
#define DEFAULT_REFLECTION_HANDLER()                                                  \
  if (uMsg >= ::fw::OCM_FIRST && uMsg <= ::fw::OCM_LAST) {                            \
    lResult = ::DefWindowProcW(hWnd, uMsg - ::fw::OCM_BASE, wParam, lParam);          \
    return TRUE;                                                                      \
  }

#define END_MSG_MAP() \
  return FALSE;       \
  }
