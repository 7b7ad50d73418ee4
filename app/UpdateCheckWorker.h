#pragma once
// The update check's worker thread: fetches the vendor's update description
// over HTTP (WinINet) and, when it offers another version, sends
// kUpdateFoundMessage to the main window and waits until the prompt has been
// answered. Silent in every failure: no connection, no server, a slow
// server, an error status, an answer that is not a description.
//
// The thread and the window share only a small state (the window's handle,
// a copy of the own version, the address, a stop flag), held by both through
// a shared_ptr. The thread never touches the window object, and it sends to
// the window only while the window has not asked it to stop; so a window that
// closes while the thread still waits on the network leaves nothing behind
// for the thread to break.

#include <memory>
#include <string>

#include "app/UpdateCheck.h"
#include "framework/Win32.h"
#include "platform/WindowsHandles.h"

namespace app {

// Sent by the worker, wParam 1, lParam 0: another version is offered.
constexpr UINT kUpdateFoundMessage = WM_USER + 112;
// The main window's timer that starts the check once, after a second.
constexpr UINT_PTR kUpdateCheckTimer = 3;
constexpr UINT kUpdateCheckDelayMs = 1000;
// How long closing waits for a running check before leaving it behind.
constexpr DWORD kUpdateStopWaitMs = 2000;
// Connecting, sending and receiving each give up after this long.
constexpr DWORD kUpdateNetworkTimeoutMs = 5000;
constexpr const wchar_t* kUpdateUserAgent = L"Zephyrloom@Update";

// The source of this process: the vendor's address, or what
// ZEPHYRLOOM_UPDATE_URL says (see ChooseUpdateSource).
UpdateSource UpdateSourceOfProcess();

// Fetches the answer at `address` (http:// or https://) with a GET request
// and one read of at most kUpdateAnswerLimit bytes; empty on any failure, an
// HTTP status other than 200 included. With `askConnectedState`, nothing is
// fetched while the system reports no Internet connection. The request is
// made step by step (connect, open, send) rather than in one call, so that
// its time-outs are set on it before it is sent: a server that accepts and
// never answers is given up after kUpdateNetworkTimeoutMs, under Wine too.
// Every handle is closed on every path.
std::string FetchUpdateAnswer(const std::wstring& address, bool askConnectedState);

struct UpdateCheckState;

// The window's side of the check: starts the worker, lets the prompt know
// whether it may still ask, and stops it at close.
class UpdateCheckWorker {
 public:
  UpdateCheckWorker();
  ~UpdateCheckWorker();
  UpdateCheckWorker(const UpdateCheckWorker&) = delete;
  UpdateCheckWorker& operator=(const UpdateCheckWorker&) = delete;

  // Starts the worker for `window`, once per object; false when the source
  // is off, a check was started or stopped before, or the thread cannot be
  // made.
  bool Start(HWND window, const std::string& ownVersion, const UpdateSource& source);

  // From now on the worker sends nothing and a prompt that was asked for is
  // not shown. Waits at most `waitMs` for the worker to end, answering
  // messages sent to this thread meanwhile (the worker's own among them);
  // does not wait while the prompt is open, as the worker then waits for it.
  // Safe to call more than once, and before Start.
  void Stop(DWORD waitMs = kUpdateStopWaitMs);

  // Runs `ask` (the prompt) when a started check has not been stopped, and
  // returns its answer; false, without asking, otherwise. The answer counts
  // only if no stop came while the prompt was open.
  template <typename Ask>
  bool Prompt(Ask ask) {
    if (!MayPrompt()) return false;
    promptOpen_ = true;
    const bool yes = ask();
    promptOpen_ = false;
    return yes && MayPrompt();
  }

  bool MayPrompt() const;
  // A started worker has ended.
  bool Finished() const;

 private:
  std::shared_ptr<UpdateCheckState> state_;
  platform::UniqueHandle thread_;
  bool stopped_ = false;
  bool promptOpen_ = false;
};

// Update-check threads of this process that have not ended yet.
int UpdateChecksRunning();

// The thread: `parameter` is a heap-allocated std::shared_ptr<UpdateCheckState>
// that the thread takes over.
DWORD WINAPI UpdateCheckThreadProc(LPVOID parameter);

}  // namespace app
