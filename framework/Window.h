#pragma once
// Window and dialog classes with message maps: the small framework every
// window of the program stands on.
//
//   CWindow           a window handle with the few helpers the program uses
//   CWindowImpl<T>    takes over (subclasses) an existing control, or creates
//                     one, and routes its messages through T's message map
//   CDialogImpl<T>    a dialog on the template T::IDD, modal or modeless

#include <string>

#include "framework/MessageMap.h"

namespace fw {

class CWindow {
 public:
  CWindow() = default;
  explicit CWindow(HWND window) : m_hWnd(window) {}

  HWND m_hWnd = nullptr;

  bool IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd) != FALSE; }
  HWND GetParent() const { return ::GetParent(m_hWnd); }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  RECT GetClientRect() const;
  // The window's rectangle in its parent's client coordinates.
  RECT GetRectInParent() const;
  void ShowWindow(int command) const { ::ShowWindow(m_hWnd, command); }
  void EnableWindow(BOOL enable) const { ::EnableWindow(m_hWnd, enable); }
  bool IsVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
  void Invalidate(bool erase = false) const { ::InvalidateRect(m_hWnd, nullptr, erase ? TRUE : FALSE); }
  LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::SendMessageW(m_hWnd, msg, wParam, lParam); }
  void Post(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const { ::PostMessageW(m_hWnd, msg, wParam, lParam); }
  std::wstring GetText() const;
  // Centres the window on its owner when that is visible and not minimised,
  // else on the work area of its monitor.
  void CenterWindow() const;
  // Gives the window 5 x 5 rounded corners over its client size.
  void ApplyRoundedRegion(bool redraw) const;
};

// Posted from a press on a window's background: the system then drags the
// window as if its caption had been pressed.
inline void DragByBackground(HWND window, LPARAM point) {
  ::PostMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, point);
}

template <class T>
class CWindowImpl : public CWindow, public MessageMapOwner {
 public:
  CWindowImpl() = default;
  CWindowImpl(const CWindowImpl&) = delete;
  CWindowImpl& operator=(const CWindowImpl&) = delete;
  virtual ~CWindowImpl() { UnsubclassWindow(); }

  // Routes an existing window's messages through this object.
  BOOL SubclassWindow(HWND window) {
    if (window == nullptr || m_hWnd != nullptr) return FALSE;
    if (!::SetWindowSubclass(window, &CWindowImpl::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
      return FALSE;
    }
    m_hWnd = window;
    OnSubclassed();
    return TRUE;
  }

  HWND UnsubclassWindow() {
    const HWND window = m_hWnd;
    if (window != nullptr) ::RemoveWindowSubclass(window, &CWindowImpl::SubclassProc, kSubclassId);
    m_hWnd = nullptr;
    return window;
  }

  // Creates a window of an existing class (a common control) and takes it over.
  HWND Create(const wchar_t* className, HWND parent, const RECT& rect, const wchar_t* name, DWORD style,
              DWORD exStyle, int id) {
    const HWND window = ::CreateWindowExW(exStyle, className, name, style, rect.left, rect.top,
                                          rect.right - rect.left, rect.bottom - rect.top, parent,
                                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                          ::GetModuleHandleW(nullptr), nullptr);
    if (window != nullptr && !SubclassWindow(window)) {
      ::DestroyWindow(window);
      return nullptr;
    }
    return window;
  }

  LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefSubclassProc(m_hWnd, msg, wParam, lParam);
  }

 protected:
  // Called once the window is taken over.
  virtual void OnSubclassed() {}

 private:
  static constexpr UINT_PTR kSubclassId = 0x5A52;  // "ZR"

  static LRESULT CALLBACK SubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) {
    auto* impl = reinterpret_cast<CWindowImpl*>(self);
    LRESULT result = 0;
    if (msg == WM_NCDESTROY) {
      ::RemoveWindowSubclass(window, &CWindowImpl::SubclassProc, kSubclassId);
      impl->m_hWnd = nullptr;
      return ::DefSubclassProc(window, msg, wParam, lParam);
    }
    if (impl->ProcessWindowMessage(window, msg, wParam, lParam, result)) return result;
    return ::DefSubclassProc(window, msg, wParam, lParam);
  }
};

// Messages whose dialog-procedure result is the value itself rather than
// DWLP_MSGRESULT.
bool ReturnsValueDirectly(UINT msg);

template <class T>
class CDialogImpl : public CWindow, public MessageMapOwner {
 public:
  CDialogImpl() = default;
  CDialogImpl(const CDialogImpl&) = delete;
  CDialogImpl& operator=(const CDialogImpl&) = delete;
  virtual ~CDialogImpl() = default;

  // Runs the dialog modally; its end code, or -1 when it cannot be created.
  INT_PTR DoModal(HWND parent = ::GetActiveWindow()) {
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(T::IDD), parent, &CDialogImpl::DialogProc,
                             reinterpret_cast<LPARAM>(this));
  }

  // Creates the dialog modeless (hidden until shown, as its template says).
  HWND Create(HWND parent) {
    return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(T::IDD), parent, &CDialogImpl::DialogProc,
                                reinterpret_cast<LPARAM>(this));
  }

  BOOL EndDialog(INT_PTR code) { return ::EndDialog(m_hWnd, code); }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
      ::SetWindowLongPtrW(window, DWLP_USER, lParam);
      reinterpret_cast<CDialogImpl*>(lParam)->m_hWnd = window;
    }
    auto* impl = reinterpret_cast<CDialogImpl*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (impl == nullptr) return FALSE;
    LRESULT result = 0;
    const BOOL handled = impl->ProcessWindowMessage(window, msg, wParam, lParam, result);
    if (msg == WM_NCDESTROY) impl->m_hWnd = nullptr;
    if (!handled) return FALSE;
    if (ReturnsValueDirectly(msg)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
  }
};

}  // namespace fw
