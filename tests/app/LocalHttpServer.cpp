#include "tests/app/LocalHttpServer.h"

// Winsock 2 before anything includes windows.h (which would bring the old
// winsock.h).
#include <winsock2.h>
#include <ws2tcpip.h>

namespace test_http {

namespace {

constexpr std::size_t kHeadLimit = 16 * 1024;
constexpr DWORD kSocketTimeoutMs = 5000;

const char* reasonOf(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 404:
      return "Not Found";
    default:
      return "Error";
  }
}

SOCKET socketOf(std::uintptr_t value) { return static_cast<SOCKET>(value); }

// A socket bound to 127.0.0.1 at a port the system picks; its port, 0 on
// failure.
int bindLoopback(SOCKET socket) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return 0;
  int length = sizeof address;
  if (::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  return ntohs(address.sin_port);
}

std::string urlOf(int port, const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(port) + path;
}

bool sendAll(SOCKET socket, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const int n = ::send(socket, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

LocalHttpServer::LocalHttpServer(std::string body, int status)
    : body_(std::move(body)), status_(status), listener_(static_cast<std::uintptr_t>(INVALID_SOCKET)) {
  WSADATA data;
  ::WSAStartup(MAKEWORD(2, 2), &data);
  const SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) return;
  listener_ = static_cast<std::uintptr_t>(listener);
  const int port = bindLoopback(listener);
  if (port == 0 || ::listen(listener, SOMAXCONN) != 0) return;
  port_ = port;
  thread_ = std::thread([this] { Serve(); });
}

LocalHttpServer::~LocalHttpServer() {
  stopping_ = true;
  Release();
  if (thread_.joinable()) thread_.join();
  if (socketOf(listener_) != INVALID_SOCKET) ::closesocket(socketOf(listener_));
  ::WSACleanup();
}

std::string LocalHttpServer::Url(const std::string& path) const { return urlOf(port_, path); }

void LocalHttpServer::Hold() {
  const std::lock_guard<std::mutex> lock(mutex_);
  holding_ = true;
}

void LocalHttpServer::Release() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    holding_ = false;
  }
  released_.notify_all();
}

std::string LocalHttpServer::LastRequest() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return lastRequest_;
}

std::string LocalHttpServer::RefusedUrl() {
  WSADATA data;
  ::WSAStartup(MAKEWORD(2, 2), &data);
  // A port that was free a moment ago and on which nothing listens.
  const SOCKET probe = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  const int port = probe == INVALID_SOCKET ? 0 : bindLoopback(probe);
  if (probe != INVALID_SOCKET) ::closesocket(probe);
  ::WSACleanup();
  return urlOf(port == 0 ? 9 : port, kUpdateDocumentPath);
}

void LocalHttpServer::Serve() {
  const SOCKET listener = socketOf(listener_);
  while (!stopping_) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(listener, &ready);
    timeval wait{0, 50 * 1000};
    if (::select(0, &ready, nullptr, nullptr, &wait) <= 0) continue;
    const SOCKET connection = ::accept(listener, nullptr, nullptr);
    if (connection == INVALID_SOCKET) continue;
    AnswerConnection(static_cast<std::uintptr_t>(connection));
    ::closesocket(connection);
  }
}

void LocalHttpServer::AnswerConnection(std::uintptr_t value) {
  const SOCKET connection = socketOf(value);
  const DWORD timeout = kSocketTimeoutMs;
  ::setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
  ::setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
  std::string head;
  char chunk[1024];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < kHeadLimit) {
    const int n = ::recv(connection, chunk, sizeof chunk, 0);
    if (n <= 0) return;
    head.append(chunk, static_cast<std::size_t>(n));
  }
  {
    std::unique_lock<std::mutex> lock(mutex_);
    lastRequest_ = head;
    if (received_ == 0) firstRequestTick_ = ::GetTickCount();
    ++received_;
    released_.wait(lock, [this] { return !holding_ || stopping_; });
  }
  if (stopping_) return;
  const std::string answer = "HTTP/1.1 " + std::to_string(status_) + " " + reasonOf(status_) +
                             "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body_.size()) +
                             "\r\nConnection: close\r\n\r\n" + body_;
  if (sendAll(connection, answer)) ++answered_;
  ::shutdown(connection, SD_SEND);
}

namespace {

constexpr const wchar_t* kUpdateAddressName = L"ZEPHYRLOOM_UPDATE_URL";

std::optional<std::wstring> currentUpdateAddress() {
  wchar_t value[2048];
  ::SetLastError(ERROR_SUCCESS);
  const DWORD length = ::GetEnvironmentVariableW(kUpdateAddressName, value, 2048);
  if (length == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
  if (length >= 2048) return std::wstring();
  return std::wstring(value, length);
}

}  // namespace

UpdateAddressVariable::UpdateAddressVariable(const wchar_t* value) : previous_(currentUpdateAddress()) {
  ::SetEnvironmentVariableW(kUpdateAddressName, value);
}

UpdateAddressVariable::UpdateAddressVariable(const std::string& address)
    : UpdateAddressVariable(std::wstring(address.begin(), address.end()).c_str()) {}

UpdateAddressVariable::~UpdateAddressVariable() {
  ::SetEnvironmentVariableW(kUpdateAddressName, previous_ ? previous_->c_str() : nullptr);
}

}  // namespace test_http
