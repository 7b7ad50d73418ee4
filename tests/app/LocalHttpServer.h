#pragma once
// A small HTTP server on 127.0.0.1, at a port the system picks, run by a
// test program on a thread of its own: every request gets the same canned
// answer. The update check's tests point the program at it.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace test_http {

constexpr const char* kUpdateDocumentPath = "/download/update/zephyrloom_update.txt";

class LocalHttpServer {
 public:
  // Answers every request with `body` and the HTTP status `status`.
  explicit LocalHttpServer(std::string body, int status = 200);
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  bool Listening() const { return port_ != 0; }
  std::string Url(const std::string& path = kUpdateDocumentPath) const;

  // Requests are read but not answered until Release(): a slow server.
  void Hold();
  void Release();

  // Request heads read so far, and the last one.
  int RequestsReceived() const { return received_; }
  std::string LastRequest() const;
  // When the first request head arrived (GetTickCount), 0 before.
  unsigned long FirstRequestTick() const { return firstRequestTick_; }
  // Answers sent in full.
  int Answered() const { return answered_; }

  // An address on 127.0.0.1 where nothing listens: connecting is refused.
  static std::string RefusedUrl();

 private:
  void Serve();
  void AnswerConnection(std::uintptr_t connection);

  std::string body_;
  int status_;
  std::uintptr_t listener_;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> received_{0};
  std::atomic<int> answered_{0};
  std::atomic<unsigned long> firstRequestTick_{0};
  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool holding_ = false;
  std::string lastRequest_;
  std::thread thread_;
};

// Sets ZEPHYRLOOM_UPDATE_URL (removes it, for null) for as long as it
// lives, then puts back what was there.
class UpdateAddressVariable {
 public:
  explicit UpdateAddressVariable(const wchar_t* value);
  explicit UpdateAddressVariable(const std::string& address);
  ~UpdateAddressVariable();
  UpdateAddressVariable(const UpdateAddressVariable&) = delete;
  UpdateAddressVariable& operator=(const UpdateAddressVariable&) = delete;

 private:
  std::optional<std::wstring> previous_;
};

}  // namespace test_http
