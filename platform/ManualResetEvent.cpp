#include "platform/ManualResetEvent.h"

namespace platform {

void ManualResetEvent::set() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = true;
  }
  changed_.notify_all();
}

void ManualResetEvent::reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  set_ = false;
}

bool ManualResetEvent::isSet() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return set_;
}

void ManualResetEvent::wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (set_) return;
  ++waiting_;
  changed_.notify_all();
  changed_.wait(lock, [this] { return set_; });
  --waiting_;
}

bool ManualResetEvent::waitFor(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (set_) return true;
  ++waiting_;
  changed_.notify_all();
  const bool signalled = changed_.wait_for(lock, timeout, [this] { return set_; });
  --waiting_;
  return signalled;
}

bool ManualResetEvent::waitUntilWaiting(std::size_t count, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [this, count] { return waiting_ >= count; });
}

}  // namespace platform
