#pragma once
// Ctrl+C and termination requests for the command line: while a guard is
// alive, SIGINT and SIGTERM set a stop flag instead of ending the program,
// so that a long export can stop at a record boundary and say so. A write
// past a file-size limit then fails with an error instead of ending the
// program (SIGXFSZ is ignored where it exists).

#include <atomic>

namespace platform {

class InterruptGuard {
 public:
  // `stopFlag` is set to 1 on an interrupt; it must outlive the guard.
  explicit InterruptGuard(std::atomic<int>& stopFlag);
  // Puts the previous handlers back.
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

  // True when an interrupt arrived while the guard was alive.
  static bool interrupted();
};

}  // namespace platform
