// Processes on POSIX systems: posix_spawn, output captured in a temporary
// file, a wait with a time limit, and the end of what the child started at
// that limit.
#include "platform/Process.h"

#include <algorithm>
#include <mutex>
#include <thread>

#include "platform/CommandLine.h"
#include "platform/FileOperations.h"
#include "platform/TextEncoding.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/PosixDescriptors.h"

extern char** environ;

namespace platform {


namespace {

// A child started here that has not been reaped yet. Its entry goes only
// under the lock and only together with the reaping, so that a signal sent
// from the list never reaches a recycled process id.
struct Child {
  pid_t pid;
  bool ownGroup;
  std::string fileName;
  bool ended;  // ended by EndProcessesNamed
};

std::mutex& childrenLock() {
  static std::mutex lock;
  return lock;
}

std::vector<Child>& children() {
  static std::vector<Child> list;
  return list;
}

int createCaptureFile() {
  const char* folder = std::getenv("TMPDIR");
  std::string pattern = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/zr-output-XXXXXX";
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd >= 0) ::unlink(pattern.c_str());
  return fd;
}

std::string readFromStart(int fd) {
  std::string bytes;
  if (::lseek(fd, 0, SEEK_SET) != 0) return bytes;
  char buffer[16384];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return bytes;
}

// Reaps the child when it has ended: true then, with its status and
// whether EndProcessesNamed ended it.
bool reapIfEnded(pid_t pid, int& status, bool& endedByList) {
  std::lock_guard<std::mutex> guard(childrenLock());
  pid_t got;
  do {
    got = ::waitpid(pid, &status, WNOHANG);
  } while (got < 0 && errno == EINTR);
  if (got == 0) return false;
  if (got < 0) status = -1;  // reaped by someone else (SIGCHLD ignored): nothing to know
  auto& list = children();
  const auto entry = std::find_if(list.begin(), list.end(), [pid](const Child& child) { return child.pid == pid; });
  if (entry != list.end()) {
    endedByList = entry->ended;
    list.erase(entry);
  }
  return true;
}

// A descriptor that becomes readable when the process ends (Linux 5.3+);
// -1 where there is none, and the wait then polls.
int openProcessDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  return -1;
#endif
}

// The parent and process group of a running process, from /proc (Linux);
// false where there is no /proc or the process has gone.
bool parentAndGroupOf(pid_t pid, pid_t& parent, pid_t& group) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return false;
  // "pid (name) state ppid pgrp ...": the name may hold blanks and ')'.
  const std::size_t close = line.rfind(')');
  if (close == std::string::npos) return false;
  std::istringstream fields(line.substr(close + 1));
  std::string state;
  long long ppid = 0;
  long long pgrp = 0;
  if (!(fields >> state >> ppid >> pgrp)) return false;
  parent = static_cast<pid_t>(ppid);
  group = static_cast<pid_t>(pgrp);
  return true;
}

// Ends a child that shares our process group together with every
// descendant that stayed in that group (one that made a group or session of
// its own, as adb's server does, is left alone, as a job object lets a
// process break away on Windows). Each one found is stopped first, so that
// none can start another or lose its parent while the tree is walked; then
// all are killed.
void endTreeInOurGroup(pid_t pid) {
  const pid_t group = ::getpgrp();
  std::vector<pid_t> tree{pid};
  ::kill(pid, SIGSTOP);
  for (bool grew = true; grew;) {
    grew = false;
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) break;
    while (const dirent* entry = ::readdir(proc)) {
      char* end = nullptr;
      const long long number = std::strtoll(entry->d_name, &end, 10);
      if (end == entry->d_name || *end != '\0' || number <= 0) continue;
      const auto candidate = static_cast<pid_t>(number);
      pid_t parent = 0;
      pid_t candidateGroup = 0;
      if (std::find(tree.begin(), tree.end(), candidate) != tree.end()) continue;
      if (!parentAndGroupOf(candidate, parent, candidateGroup) || candidateGroup != group) continue;
      if (std::find(tree.begin(), tree.end(), parent) == tree.end()) continue;
      ::kill(candidate, SIGSTOP);
      tree.push_back(candidate);
      grew = true;
    }
    ::closedir(proc);
  }
  for (const pid_t member : tree) ::kill(member, SIGKILL);
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
  ProcessResult result;
  if (argv.empty() || argv[0].empty()) {
    result.error = "no program to run";
    return result;
  }
  UniqueDescriptor output;
  if (!options.outputFile.empty()) {
    output.reset(::open(options.outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (output.get() < 0) {
      result.error = "cannot create " + options.outputFile + ": " + std::strerror(errno);
      return result;
    }
  }
  UniqueDescriptor capture;
  if (options.captureOutput) {
    capture.reset(createCaptureFile());
    if (capture.get() < 0) {
      result.error = std::string("cannot create a temporary file for the output: ") + std::strerror(errno);
      return result;
    }
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (output.get() >= 0) {
    posix_spawn_file_actions_adddup2(&actions, output.get(), 1);
  } else if (capture.get() >= 0) {
    posix_spawn_file_actions_adddup2(&actions, capture.get(), 1);
  }
  if (capture.get() >= 0) posix_spawn_file_actions_adddup2(&actions, capture.get(), 2);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  sigset_t noSignals;
  sigemptyset(&noSignals);
  posix_spawnattr_setsigmask(&attributes, &noSignals);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  if (options.ownGroup) {
    flags |= POSIX_SPAWN_SETPGROUP;
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  posix_spawnattr_setflags(&attributes, flags);

  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  pid_t pid = 0;
  int spawnError = 0;
  {
    std::lock_guard<std::mutex> guard(childrenLock());
    spawnError = argv[0].find('/') != std::string::npos
                     ? posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environ)
                     : posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
    if (spawnError == 0) children().push_back(Child{pid, options.ownGroup, fileNameOf(argv[0]), false});
  }
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  output.reset();
  if (spawnError != 0) {
    result.error = "cannot run " + argv[0] + ": " + std::strerror(spawnError);
    return result;
  }
  result.started = true;

  const UniqueDescriptor processDescriptor(openProcessDescriptor(pid));
  const auto deadline = std::chrono::steady_clock::now() + options.timeLimit;
  auto pause = std::chrono::milliseconds(1);
  int status = 0;
  bool endedByList = false;
  bool reaped = false;
  for (;;) {
    if (reapIfEnded(pid, status, endedByList)) {
      reaped = true;
      break;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) break;
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) +
                           std::chrono::milliseconds(1);
    if (processDescriptor.get() >= 0) {
      pollfd ended{processDescriptor.get(), POLLIN, 0};
      ::poll(&ended, 1, static_cast<int>(std::min<long long>(remaining.count(), 60000)));
    } else {
      std::this_thread::sleep_for(std::min(pause, remaining));
      pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
  }
  if (!reaped) {
    result.timedOut = true;
    {
      std::lock_guard<std::mutex> guard(childrenLock());
      if (!options.ownGroup) {
        endTreeInOurGroup(pid);
      } else if (::kill(-pid, SIGKILL) != 0) {
        ::kill(pid, SIGKILL);
      }
    }
    // Wait for the end without reaping, then reap under the lock.
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
    }
    while (!reapIfEnded(pid, status, endedByList)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!result.timedOut && !endedByList && status != -1 && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (capture.get() >= 0) result.output = readFromStart(capture.get());
  return result;
}

ProcessResult RunProcess(const std::string& commandLine, const ProcessOptions& options) {
  return RunProcess(SplitCommandLine(commandLine), options);
}

int EndProcessesNamed(const std::string& fileName) {
  int ended = 0;
  std::lock_guard<std::mutex> guard(childrenLock());
  for (Child& child : children()) {
    if (child.fileName != fileName) continue;
    bool signalled = false;
    if (child.ownGroup) {
      signalled = ::kill(-child.pid, SIGKILL) == 0 || ::kill(child.pid, SIGKILL) == 0;
    } else if (::kill(child.pid, 0) == 0) {
      endTreeInOurGroup(child.pid);
      signalled = true;
    }
    if (signalled) {
      child.ended = true;
      ++ended;
    }
  }
  return ended;
}

std::int64_t CurrentProcessId() { return static_cast<std::int64_t>(::getpid()); }

bool IsProcessRunning(std::int64_t processId) {
  if (processId <= 0) return false;
  const auto pid = static_cast<pid_t>(processId);
  if (static_cast<std::int64_t>(pid) != processId) return false;
  if (::kill(pid, 0) != 0 && errno != EPERM) return false;
  // A zombie has ended and only waits to be reaped.
  std::ifstream stat("/proc/" + std::to_string(processId) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return true;
  const std::size_t close = line.rfind(')');
  return close == std::string::npos || close + 2 >= line.size() || line[close + 2] != 'Z';
}

}  // namespace platform
