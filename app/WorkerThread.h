#pragma once
// One worker thread of the main window (acquisition, scan or export: one
// runs at a time). The window starts it, learns from the worker's final
// posted message that its work is done, and joins it then; on close it
// waits for it, bounded, before freeing anything the worker reads.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace app {

class WorkerThread {
 public:
  WorkerThread() = default;
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;
  // A worker still running here is waited for without limit: the owner
  // must have stopped it (see WaitPumping) before it goes.
  ~WorkerThread();

  // Starts `work` on a new thread after joining the previous one. False
  // when the system could not create the thread (nothing runs then).
  bool Start(std::function<void()> work);
  // Makes the next Start fail as a refused thread does (tests of what the
  // window does then).
  static void RefuseNextStart() { refuseNext_ = true; }
  bool Running() const { return running_.load(); }

  // Waits until the worker has ended or `limit` has passed, answering the
  // messages other threads send to this thread's windows meanwhile (the
  // worker may be blocked in such a send: waiting without answering would
  // deadlock). True when the worker has ended; it is joined then.
  bool WaitPumping(std::chrono::milliseconds limit);

  // Joins a worker that has ended (or is about to: its last step is the
  // posted message that told the window so).
  void Join();

 private:
  static inline std::atomic<bool> refuseNext_{false};
  std::thread thread_;
  std::atomic<bool> running_{false};
};

}  // namespace app
