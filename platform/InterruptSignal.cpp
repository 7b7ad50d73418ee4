#include "platform/InterruptSignal.h"

#include <csignal>

namespace platform {

namespace {

// What a signal handler may touch: lock-free atomics only.
std::atomic<std::atomic<int>*> g_stopFlag{nullptr};
std::atomic<int> g_interrupted{0};

using Handler = void (*)(int);
Handler g_previousInterrupt = SIG_DFL;
Handler g_previousTerminate = SIG_DFL;

extern "C" void onInterrupt(int signalNumber) {
  g_interrupted.store(1);
  if (std::atomic<int>* flag = g_stopFlag.load()) flag->store(1);
  // Some systems reset the handler to the default on delivery.
  std::signal(signalNumber, onInterrupt);
}

}  // namespace

InterruptGuard::InterruptGuard(std::atomic<int>& stopFlag) {
  g_interrupted.store(0);
  g_stopFlag.store(&stopFlag);
  g_previousInterrupt = std::signal(SIGINT, onInterrupt);
  g_previousTerminate = std::signal(SIGTERM, onInterrupt);
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

InterruptGuard::~InterruptGuard() {
  std::signal(SIGINT, g_previousInterrupt == SIG_ERR ? SIG_DFL : g_previousInterrupt);
  std::signal(SIGTERM, g_previousTerminate == SIG_ERR ? SIG_DFL : g_previousTerminate);
  g_stopFlag.store(nullptr);
}

bool InterruptGuard::interrupted() { return g_interrupted.load() != 0; }

}  // namespace platform
