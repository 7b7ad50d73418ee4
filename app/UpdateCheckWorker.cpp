#include "app/UpdateCheckWorker.h"

#include <wininet.h>

#include <atomic>
#include <optional>
#include <vector>

#include "controls/WebPages.h"
#include "platform/TextEncoding.h"
#include "platform/WindowsHandles.h"

namespace app {

struct UpdateCheckState {
  HWND window = nullptr;
  std::string ownVersion;
  UpdateSource source;
  std::atomic<bool> stopping{false};
  std::atomic<bool> finished{false};
};

namespace {

std::atomic<int> runningChecks{0};

struct CloseInternetHandle {
  void operator()(HINTERNET handle) const { ::InternetCloseHandle(handle); }
};
// An owning WinINet handle: closed when it goes, on every path.
using InternetHandle = platform::UniqueObject<HINTERNET, CloseInternetHandle>;

// Connecting, sending and receiving each give up after
// kUpdateNetworkTimeoutMs. Set on the request itself, before it is sent:
// Wine honours them only there.
void setNetworkTimeouts(HINTERNET handle) {
  DWORD timeout = kUpdateNetworkTimeoutMs;
  for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    ::InternetSetOptionW(handle, option, &timeout, sizeof timeout);
  }
}

// The parts of an http:// or https:// address that a request needs.
struct WebAddress {
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring path;  // with the query, "/" when the address has none
  bool secure = false;
};

std::optional<WebAddress> webAddressOf(const std::wstring& address) {
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  // Non-zero lengths without buffers: the parts point into `address`.
  parts.dwHostNameLength = 1;
  parts.dwUrlPathLength = 1;
  parts.dwExtraInfoLength = 1;
  if (address.empty() || !::InternetCrackUrlW(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts)) {
    return std::nullopt;
  }
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return std::nullopt;
  if (parts.lpszHostName == nullptr || parts.dwHostNameLength == 0) return std::nullopt;
  WebAddress web;
  web.host.assign(parts.lpszHostName, parts.dwHostNameLength);
  web.port = parts.nPort;
  if (parts.lpszUrlPath != nullptr) web.path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo != nullptr) web.path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (web.path.empty()) web.path = L"/";
  web.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  return web;
}

// The HTTP status of a request that was sent; 0 when it has none.
DWORD statusOf(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return 0;
  return status;
}

std::optional<std::string> environmentValue(const wchar_t* name) {
  ::SetLastError(ERROR_SUCCESS);
  const DWORD needed = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (needed == 0) {
    if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::string();
  }
  std::vector<wchar_t> value(needed);
  const DWORD length = ::GetEnvironmentVariableW(name, value.data(), needed);
  if (length == 0 || length >= needed) return std::string();
  return platform::narrowFromWide(std::wstring_view(value.data(), length));
}

// What the thread does, apart from its bookkeeping.
void runCheck(const UpdateCheckState& state) {
  // A replaced address may be a server on this computer, which needs no
  // connection to the Internet.
  const std::string answer =
      FetchUpdateAnswer(platform::wideFromNarrow(state.source.address), !state.source.replaced);
  if (answer.empty() || !AnswerOffersOtherVersion(answer, state.ownVersion)) return;
  if (state.stopping || !::IsWindow(state.window)) return;
  // Waits until the prompt has been answered. A window that stops the check
  // meanwhile answers this at once without asking.
  ::SendMessageW(state.window, kUpdateFoundMessage, 1, 0);
}

}  // namespace

UpdateSource UpdateSourceOfProcess() {
  const std::wstring variable = platform::wideFromNarrow(kUpdateAddressVariable);
  const std::string host = platform::narrowFromWide(controls::kVendorHost);
  return ChooseUpdateSource(environmentValue(variable.c_str()), DefaultUpdateAddress(host));
}

std::string FetchUpdateAnswer(const std::wstring& address, bool askConnectedState) {
  if (askConnectedState) {
    DWORD flags = 0;
    if (!::InternetGetConnectedState(&flags, 0)) return std::string();
  }
  const std::optional<WebAddress> web = webAddressOf(address);
  if (!web) return std::string();
  const InternetHandle session(
      ::InternetOpenW(kUpdateUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return std::string();
  setNetworkTimeouts(session.get());
  const InternetHandle connection(::InternetConnectW(session.get(), web->host.c_str(), web->port, nullptr, nullptr,
                                                     INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return std::string();
  // Always from the server, never from (or into) the cache: a stale answer
  // would hide a new version. No dialog of WinINet's own, ever.
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI;
  if (web->secure) flags |= INTERNET_FLAG_SECURE;
  const InternetHandle request(
      ::HttpOpenRequestW(connection.get(), L"GET", web->path.c_str(), nullptr, nullptr, nullptr, flags, 0));
  if (!request) return std::string();
  setNetworkTimeouts(request.get());
  if (!::HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0) || statusOf(request.get()) != HTTP_STATUS_OK) {
    return std::string();
  }
  std::string answer(kUpdateAnswerLimit, '\0');
  DWORD read = 0;
  if (!::InternetReadFile(request.get(), answer.data(), static_cast<DWORD>(answer.size()), &read)) {
    return std::string();
  }
  answer.resize(std::min<std::size_t>(read, kUpdateAnswerLimit));
  return answer;
}

DWORD WINAPI UpdateCheckThreadProc(LPVOID parameter) {
  const std::unique_ptr<std::shared_ptr<UpdateCheckState>> owned(
      static_cast<std::shared_ptr<UpdateCheckState>*>(parameter));
  const std::shared_ptr<UpdateCheckState> state = *owned;
  runCheck(*state);
  state->finished = true;
  --runningChecks;
  return 0;
}

int UpdateChecksRunning() { return runningChecks; }

UpdateCheckWorker::UpdateCheckWorker() = default;

UpdateCheckWorker::~UpdateCheckWorker() { Stop(0); }

bool UpdateCheckWorker::Start(HWND window, const std::string& ownVersion, const UpdateSource& source) {
  if (stopped_ || state_ || !source.enabled) return false;
  auto state = std::make_shared<UpdateCheckState>();
  state->window = window;
  state->ownVersion = ownVersion;
  state->source = source;
  state_ = state;
  auto parameter = std::make_unique<std::shared_ptr<UpdateCheckState>>(state);
  ++runningChecks;
  thread_ = ::CreateThread(nullptr, 0, UpdateCheckThreadProc, parameter.get(), 0, nullptr);
  if (!thread_) {
    --runningChecks;
    state->finished = true;
    return false;
  }
  parameter.release();  // the thread owns it now
  return true;
}

void UpdateCheckWorker::Stop(DWORD waitMs) {
  stopped_ = true;
  if (state_) state_->stopping = true;
  if (!thread_) return;
  const HANDLE thread = thread_.get();
  const DWORD start = ::GetTickCount();
  while (!promptOpen_) {
    const DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= waitMs) break;
    const DWORD woken = ::MsgWaitForMultipleObjects(1, &thread, FALSE, waitMs - elapsed, QS_SENDMESSAGE);
    if (woken != WAIT_OBJECT_0 + 1) break;  // ended, timed out or failed
    // Answers the messages sent to this thread, the worker's among them;
    // posted ones stay queued.
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  thread_.reset();
}

bool UpdateCheckWorker::MayPrompt() const { return state_ != nullptr && !state_->stopping; }

bool UpdateCheckWorker::Finished() const { return state_ != nullptr && state_->finished; }

}  // namespace app
