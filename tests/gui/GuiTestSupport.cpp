#include "tests/gui/GuiTestSupport.h"

#include "controls/GdiObjects.h"

namespace gui_test {

void PumpPending() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (static_cast<int>(::GetTickCount() - start) > timeoutMs) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    PumpPending();
  }
  return true;
}

COLORREF PaintedPixel(HWND window, int x, int y) {
  RECT client{};
  ::GetClientRect(window, &client);
  controls::WindowDC screen(window);
  controls::MemoryDC canvas(screen.dc(), client.right, client.bottom);
  ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  return ::GetPixel(canvas.dc(), x, y);
}

COLORREF PixelOf(HWND window, int x, int y) {
  ::UpdateWindow(window);
  controls::WindowDC dc(window);
  return ::GetPixel(dc.dc(), x, y);
}

namespace {

struct DialogSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK findDialog(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<DialogSearch*>(context);
  wchar_t name[16] = {};
  ::GetClassNameW(window, name, 16);
  if (lstrcmpW(name, L"#32770") == 0 && ::GetWindow(window, GW_OWNER) == search->owner && ::IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

struct PendingBody {
  HWND owner;
  std::function<void(HWND)> body;
};

PendingBody* pending = nullptr;

void CALLBACK lookForDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  if (pending == nullptr) return;
  DialogSearch search{pending->owner, nullptr};
  ::EnumThreadWindows(::GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return;
  ::KillTimer(nullptr, timer);
  PendingBody* job = pending;
  pending = nullptr;
  job->body(search.found);
  delete job;
}

}  // namespace

void WhenDialogAppears(HWND owner, const std::function<void(HWND)>& body) {
  delete pending;
  pending = new PendingBody{owner, body};
  ::SetTimer(nullptr, 0, 30, lookForDialog);
}

}  // namespace gui_test
