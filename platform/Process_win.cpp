// Processes on Windows: CreateProcessW with a time limit, output captured
// in a temporary file, and the tool-help snapshot to end processes by name.
#include "platform/Process.h"

#include <algorithm>
#include <mutex>
#include <thread>

#include "platform/CommandLine.h"
#include "platform/FileOperations.h"
#include "platform/TextEncoding.h"

#include <windows.h>
#include <tlhelp32.h>

#include "platform/ChildRegistry.h"
#include "platform/WindowsHandles.h"

namespace platform {

namespace {

// A child started here that has not been waited for yet.
struct Child {
  HANDLE process;
  HANDLE job;  // null when the process could not be put in its job
  std::string fileName;
  bool ended;  // ended by EndProcessesNamed
};

using Children = ChildRegistry<Child>;

std::string describeError(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = length > 0 && text != nullptr ? narrowFromWide(std::wstring_view(text, length))
                                                      : "error " + std::to_string(error);
  if (text != nullptr) ::LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
    message.pop_back();
  }
  return message;
}

// An inheritable duplicate of one of this process's standard handles; null
// when there is none (a window program has none).
HANDLE inheritableCopy(HANDLE handle) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
  HANDLE copy = nullptr;
  if (!::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS)) {
    return nullptr;
  }
  return copy;
}

// A temporary file that goes away with its last handle; the child writes
// into it through an inherited handle and we read it back afterwards.
HANDLE createCaptureFile(SECURITY_ATTRIBUTES& inherit) {
  wchar_t folder[MAX_PATH + 1];
  wchar_t name[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return INVALID_HANDLE_VALUE;
  if (::GetTempFileNameW(folder, L"zro", 0, name) == 0) return INVALID_HANDLE_VALUE;
  return ::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string readFromStart(HANDLE file) {
  std::string bytes;
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return bytes;
  char buffer[16384];
  DWORD got = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return bytes;
}

DWORD waitMilliseconds(std::chrono::milliseconds limit) {
  if (limit.count() <= 0) return 0;
  return static_cast<DWORD>(std::min<long long>(limit.count(), INFINITE - 1));
}

bool sameFileName(const std::string& a, const std::string& b) {
  return ::lstrcmpiW(wideFromNarrow(a).c_str(), wideFromNarrow(b).c_str()) == 0;
}

// The child's standard handles: NUL for input; the output file, the
// capture file or an inheritable copy of our own output and error.
struct Redirections {
  UniqueHandle input;
  UniqueHandle output;   // the output file, when one is asked for
  UniqueHandle capture;  // the capture file of output and errors, when asked for
  UniqueHandle ownOutput;
  UniqueHandle ownError;

  // Closes our side of everything the child inherited; the capture file
  // stays open to be read back.
  void closeInherited() {
    input.reset();
    output.reset();
    ownOutput.reset();
    ownError.reset();
  }
};

bool openRedirections(const ProcessOptions& options, Redirections& redirections, std::string& error) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  redirections.input = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
  if (!options.outputFile.empty()) {
    redirections.output = ::CreateFileW(wideFromNarrow(options.outputFile).c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_DELETE, &inherit, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!redirections.output) {
      error = "cannot create " + options.outputFile + ": " + describeError(::GetLastError());
      return false;
    }
  }
  if (options.captureOutput) {
    redirections.capture = createCaptureFile(inherit);
    if (!redirections.capture) {
      error = "cannot create a temporary file for the output: " + describeError(::GetLastError());
      return false;
    }
  }
  if (!redirections.output && !redirections.capture) {
    redirections.ownOutput = inheritableCopy(::GetStdHandle(STD_OUTPUT_HANDLE));
  }
  if (!redirections.capture) redirections.ownError = inheritableCopy(::GetStdHandle(STD_ERROR_HANDLE));
  return true;
}

STARTUPINFOW startupInfo(const Redirections& redirections, bool hidden) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  if (hidden) {
    startup.dwFlags |= STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
  }
  startup.hStdInput = redirections.input.get();
  startup.hStdOutput = redirections.output    ? redirections.output.get()
                       : redirections.capture ? redirections.capture.get()
                                              : redirections.ownOutput.get();
  startup.hStdError = redirections.capture ? redirections.capture.get() : redirections.ownError.get();
  return startup;
}

// The job holds the child and whatever it starts, so that the time limit
// ends them all. A program may still let its own children break away
// (adb's server does), so they outlive the step.
UniqueHandle createJob() {
  UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
  if (job) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_BREAKAWAY_OK;
    ::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
  }
  return job;
}

// Starts the command line suspended, puts it in its job, registers it and
// lets it run; the process handle, or no handle with `error` said.
UniqueHandle startChild(std::wstring line, const std::string& programName, const ProcessOptions& options,
                        const Redirections& redirections, HANDLE job, std::string& error) {
  STARTUPINFOW startup = startupInfo(redirections, options.hidden);
  PROCESS_INFORMATION started{};
  const DWORD flags = CREATE_SUSPENDED | (options.hidden ? CREATE_NO_WINDOW : 0);
  {
    std::lock_guard<std::mutex> guard(Children::instance().lock());
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr, &startup, &started)) {
      error = "cannot run " + programName + ": " + describeError(::GetLastError());
      return UniqueHandle();
    }
    const bool inJob = job != nullptr && ::AssignProcessToJobObject(job, started.hProcess);
    Children::instance().children().push_back(
        Child{started.hProcess, inJob ? job : nullptr, fileNameOf(programName), false});
  }
  ::ResumeThread(started.hThread);
  UniqueHandle(started.hThread).reset();
  return UniqueHandle(started.hProcess);
}

// Waits for the child at most `limit`; past it ends its job and the child.
// Takes the child out of the list; true when it ended by itself, neither at
// the limit nor by EndProcessesNamed.
bool waitWithLimit(HANDLE process, std::chrono::milliseconds limit, bool& timedOut) {
  const DWORD waited = ::WaitForSingleObject(process, waitMilliseconds(limit));
  timedOut = waited != WAIT_OBJECT_0;
  std::optional<Child> entry;
  {
    std::lock_guard<std::mutex> guard(Children::instance().lock());
    entry = Children::instance().take([process](const Child& child) { return child.process == process; });
    if (timedOut) {
      if (entry && entry->job != nullptr) ::TerminateJobObject(entry->job, 1);
      ::TerminateProcess(process, 1);
    }
  }
  if (timedOut) ::WaitForSingleObject(process, 10000);
  return !timedOut && !(entry && entry->ended);
}

}  // namespace

ProcessResult RunProcess(const std::string& commandLine, const ProcessOptions& options) {
  ProcessResult result;
  const std::vector<std::string> words = SplitCommandLine(commandLine);
  if (words.empty() || words[0].empty()) {
    result.error = "no program to run";
    return result;
  }
  std::wstring line = wideFromNarrow(commandLine);
  if (line.size() >= 32767) {
    result.error = "the command line is longer than Windows allows (32767 characters)";
    return result;
  }
  Redirections redirections;
  if (!openRedirections(options, redirections, result.error)) return result;
  const UniqueHandle job = createJob();
  const UniqueHandle process = startChild(std::move(line), words[0], options, redirections, job.get(), result.error);
  if (!process) return result;
  redirections.closeInherited();
  result.started = true;

  const bool endedByItself = waitWithLimit(process.get(), options.timeLimit, result.timedOut);
  DWORD code = 0;
  if (endedByItself && ::GetExitCodeProcess(process.get(), &code) && code != STILL_ACTIVE) {
    result.exitCode = static_cast<int>(code);
  }
  if (redirections.capture) result.output = readFromStart(redirections.capture.get());
  return result;
}

ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
  if (argv.empty()) {
    ProcessResult result;
    result.error = "no program to run";
    return result;
  }
  return RunProcess(BuildCommandLine(argv), options);
}

int EndProcessesNamed(const std::string& fileName) {
  int ended = 0;
  std::vector<DWORD> ours;
  {
    std::lock_guard<std::mutex> guard(Children::instance().lock());
    for (Child& child : Children::instance().children()) {
      if (!sameFileName(child.fileName, fileName)) continue;
      if (child.job != nullptr) ::TerminateJobObject(child.job, 0);
      ::TerminateProcess(child.process, 0);
      child.ended = true;
      ours.push_back(::GetProcessId(child.process));
      ++ended;
    }
  }

  // Helpers left running by an earlier run of the program: every process of
  // that name in our logon session.
  const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return ended;
  DWORD ownSession = 0;
  const bool knowSession = ::ProcessIdToSessionId(::GetCurrentProcessId(), &ownSession) != 0;
  const std::wstring wideName = wideFromNarrow(fileName);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
    if (::lstrcmpiW(entry.szExeFile, wideName.c_str()) != 0) continue;
    const DWORD id = entry.th32ProcessID;
    if (id == ::GetCurrentProcessId() || std::find(ours.begin(), ours.end(), id) != ours.end()) continue;
    DWORD session = 0;
    if (knowSession && (!::ProcessIdToSessionId(id, &session) || session != ownSession)) continue;
    const UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, id));
    if (process && ::TerminateProcess(process.get(), 0)) ++ended;
  }
  return ended;
}

std::int64_t CurrentProcessId() { return static_cast<std::int64_t>(::GetCurrentProcessId()); }

bool IsProcessRunning(std::int64_t processId) {
  if (processId <= 0 || processId > 0xFFFFFFFFll) return false;
  const UniqueHandle process(
      ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(processId)));
  return process && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

}  // namespace platform
