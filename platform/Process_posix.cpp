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

#include "platform/ChildRegistry.h"
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

using Children = ChildRegistry<Child>;

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
struct Ending {
  int status = 0;            // waitpid's status; -1 when someone else reaped the child
  bool endedByList = false;  // EndProcessesNamed ended it
};

// Reaps the child when it has ended: true then, with how it ended.
bool reapIfEnded(pid_t pid, Ending& ending) {
  std::lock_guard<std::mutex> guard(Children::instance().lock());
  pid_t got;
  do {
    got = ::waitpid(pid, &ending.status, WNOHANG);
  } while (got < 0 && errno == EINTR);
  if (got == 0) return false;
  if (got < 0) ending.status = -1;  // reaped by someone else (SIGCHLD ignored): nothing to know
  const std::optional<Child> entry = Children::instance().take([pid](const Child& child) { return child.pid == pid; });
  if (entry) ending.endedByList = entry->ended;
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

// Where the child's standard output and error go; its input is /dev/null.
struct Redirections {
  UniqueDescriptor output;   // the output file, when one is asked for
  UniqueDescriptor capture;  // the capture file of output and errors, when asked for
};

bool openRedirections(const ProcessOptions& options, Redirections& redirections, std::string& error) {
  if (!options.outputFile.empty()) {
    redirections.output.reset(::open(options.outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!redirections.output) {
      error = "cannot create " + options.outputFile + ": " + std::strerror(errno);
      return false;
    }
  }
  if (options.captureOutput) {
    redirections.capture.reset(createCaptureFile());
    if (!redirections.capture) {
      error = std::string("cannot create a temporary file for the output: ") + std::strerror(errno);
      return false;
    }
  }
  return true;
}

// posix_spawn's two option objects for one start, freed with their owner:
// the redirections, no blocked signals, SIGPIPE back to its default, and a
// process group of its own when asked for.
class SpawnSetup {
 public:
  SpawnSetup(const Redirections& redirections, bool ownGroup) {
    posix_spawn_file_actions_init(&actions_);
    posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
    const int standardOutput = redirections.output ? redirections.output.get() : redirections.capture.get();
    if (standardOutput >= 0) posix_spawn_file_actions_adddup2(&actions_, standardOutput, 1);
    if (redirections.capture) posix_spawn_file_actions_adddup2(&actions_, redirections.capture.get(), 2);

    posix_spawnattr_init(&attributes_);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    sigset_t noSignals;
    sigemptyset(&noSignals);
    posix_spawnattr_setsigmask(&attributes_, &noSignals);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes_, &defaults);
    if (ownGroup) {
      flags |= POSIX_SPAWN_SETPGROUP;
      posix_spawnattr_setpgroup(&attributes_, 0);
    }
    posix_spawnattr_setflags(&attributes_, flags);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  const posix_spawn_file_actions_t* actions() const { return &actions_; }
  const posix_spawnattr_t* attributes() const { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

// Starts the program (by path when the name has a '/', else from the PATH)
// and registers it; posix_spawn's error number, 0 when it started.
int startChild(const std::vector<std::string>& argv, const Redirections& redirections, bool ownGroup, pid_t& pid) {
  const SpawnSetup setup(redirections, ownGroup);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  std::lock_guard<std::mutex> guard(Children::instance().lock());
  const int error = argv[0].find('/') != std::string::npos
                        ? posix_spawn(&pid, args[0], setup.actions(), setup.attributes(), args.data(), environ)
                        : posix_spawnp(&pid, args[0], setup.actions(), setup.attributes(), args.data(), environ);
  if (error == 0) Children::instance().children().push_back(Child{pid, ownGroup, fileNameOf(argv[0]), false});
  return error;
}

// Waits until the child ends or the limit passes; true when it ended (and
// was reaped). Sleeps on the process's descriptor where the system has one,
// else polls with a growing pause.
bool waitWithLimit(pid_t pid, std::chrono::milliseconds limit, Ending& ending) {
  const UniqueDescriptor processDescriptor(openProcessDescriptor(pid));
  const auto deadline = std::chrono::steady_clock::now() + limit;
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    if (reapIfEnded(pid, ending)) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) +
                           std::chrono::milliseconds(1);
    if (processDescriptor) {
      pollfd ended{processDescriptor.get(), POLLIN, 0};
      ::poll(&ended, 1, static_cast<int>(std::min<long long>(remaining.count(), 60000)));
    } else {
      std::this_thread::sleep_for(std::min(pause, remaining));
      pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
  }
}

// Ends a child past its limit with what it started (its own group, or its
// tree within ours), then reaps it.
void endGroupAndReap(pid_t pid, bool ownGroup, Ending& ending) {
  {
    std::lock_guard<std::mutex> guard(Children::instance().lock());
    if (!ownGroup) {
      endTreeInOurGroup(pid);
    } else if (::kill(-pid, SIGKILL) != 0) {
      ::kill(pid, SIGKILL);
    }
  }
  // Wait for the end without reaping, then reap under the lock.
  siginfo_t info{};
  while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
  }
  while (!reapIfEnded(pid, ending)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
  ProcessResult result;
  if (argv.empty() || argv[0].empty()) {
    result.error = "no program to run";
    return result;
  }
  Redirections redirections;
  if (!openRedirections(options, redirections, result.error)) return result;
  pid_t pid = 0;
  const int spawnError = startChild(argv, redirections, options.ownGroup, pid);
  redirections.output.reset();
  if (spawnError != 0) {
    result.error = "cannot run " + argv[0] + ": " + std::strerror(spawnError);
    return result;
  }
  result.started = true;

  Ending ending;
  if (!waitWithLimit(pid, options.timeLimit, ending)) {
    result.timedOut = true;
    endGroupAndReap(pid, options.ownGroup, ending);
  }
  if (!result.timedOut && !ending.endedByList && ending.status != -1 && WIFEXITED(ending.status)) {
    result.exitCode = WEXITSTATUS(ending.status);
  }
  if (redirections.capture) result.output = readFromStart(redirections.capture.get());
  return result;
}

ProcessResult RunProcess(const std::string& commandLine, const ProcessOptions& options) {
  return RunProcess(SplitCommandLine(commandLine), options);
}

int EndProcessesNamed(const std::string& fileName) {
  int ended = 0;
  std::lock_guard<std::mutex> guard(Children::instance().lock());
  for (Child& child : Children::instance().children()) {
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
