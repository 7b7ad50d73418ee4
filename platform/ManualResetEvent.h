#pragma once
// A manual-reset event: once set it stays set, releasing every waiter,
// until it is reset. The scan and export workers wait on one before each
// record they may pause at (set = run, reset = paused); Stop sets it so that
// a paused worker wakes and sees its stop flag.
//
// Portable (a mutex and a condition variable) in place of CreateEventW,
// SetEvent, ResetEvent and WaitForSingleObject.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace platform {

class ManualResetEvent {
 public:
  explicit ManualResetEvent(bool initiallySet = false) : set_(initiallySet) {}
  ManualResetEvent(const ManualResetEvent&) = delete;
  ManualResetEvent& operator=(const ManualResetEvent&) = delete;

  // Signals the event and wakes every waiter.
  void set();
  // Clears the event; later waits block until the next set().
  void reset();
  bool isSet() const;

  // Blocks until the event is set (returns at once when it is).
  void wait();
  // As wait(), but gives up after `timeout`; true when the event was set.
  bool waitFor(std::chrono::milliseconds timeout);

  // Blocks until at least `count` threads are blocked in wait() or
  // waitFor(), or `timeout` has passed; true in the first case. Lets a test
  // or a diagnosis know that a worker has reached its pause point.
  bool waitUntilWaiting(std::size_t count, std::chrono::milliseconds timeout);

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool set_;
  std::size_t waiting_ = 0;
};

}  // namespace platform
