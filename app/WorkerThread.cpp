#include "app/WorkerThread.h"

#include <cassert>
#include <system_error>
#include <utility>

namespace app {

WorkerThread::~WorkerThread() { Join(); }

bool WorkerThread::Start(std::function<void()> work) {
  Join();
  if (refuseNext_.exchange(false)) return false;
  running_ = true;
  try {
    thread_ = std::thread([this, work = std::move(work)] {
      work();
      running_ = false;
    });
  } catch (const std::system_error&) {
    running_ = false;
    return false;
  }
  return true;
}

bool WorkerThread::WaitPumping(std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (running_.load()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    // Wakes for a message sent to this thread, or after a short slice to
    // look at the flag again.
    const DWORD slice = static_cast<DWORD>(left.count() < 20 ? left.count() : 20);
    if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_SENDMESSAGE) == WAIT_OBJECT_0) {
      MSG message;
      ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
  }
  Join();
  return true;
}

void WorkerThread::Join() {
  // Only the window's thread starts and joins the worker; the worker joining
  // itself would never return.
  assert(!thread_.joinable() || thread_.get_id() != std::this_thread::get_id());
  if (thread_.joinable()) thread_.join();
}

}  // namespace app
