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

std::mutex& childrenLock() {
  static std::mutex lock;
  return lock;
}

std::vector<Child>& children() {
  static std::vector<Child> list;
  return list;
}

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

  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  UniqueHandle input(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  UniqueHandle output;
  if (!options.outputFile.empty()) {
    output = ::CreateFileW(wideFromNarrow(options.outputFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!output) {
      result.error = "cannot create " + options.outputFile + ": " + describeError(::GetLastError());
      return result;
    }
  }
  UniqueHandle capture;
  if (options.captureOutput) {
    capture = createCaptureFile(inherit);
    if (!capture) {
      result.error = "cannot create a temporary file for the output: " + describeError(::GetLastError());
      return result;
    }
  }
  UniqueHandle ownOutput;
  UniqueHandle ownError;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  if (options.hidden) {
    startup.dwFlags |= STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
  }
  startup.hStdInput = input.get();
  if (output) {
    startup.hStdOutput = output.get();
  } else if (capture) {
    startup.hStdOutput = capture.get();
  } else {
    ownOutput = inheritableCopy(::GetStdHandle(STD_OUTPUT_HANDLE));
    startup.hStdOutput = ownOutput.get();
  }
  if (capture) {
    startup.hStdError = capture.get();
  } else {
    ownError = inheritableCopy(::GetStdHandle(STD_ERROR_HANDLE));
    startup.hStdError = ownError.get();
  }

  // The job holds the child and whatever it starts, so that the time limit
  // ends them all. A program may still let its own children break away
  // (adb's server does), so they outlive the step.
  UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
  if (job) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_BREAKAWAY_OK;
    ::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
  }

  PROCESS_INFORMATION started{};
  const DWORD flags = CREATE_SUSPENDED | (options.hidden ? CREATE_NO_WINDOW : 0);
  {
    std::lock_guard<std::mutex> guard(childrenLock());
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr, &startup, &started)) {
      result.error = "cannot run " + words[0] + ": " + describeError(::GetLastError());
      return result;
    }
    const bool inJob = job && ::AssignProcessToJobObject(job.get(), started.hProcess);
    children().push_back(Child{started.hProcess, inJob ? job.get() : nullptr, fileNameOf(words[0]), false});
  }
  const UniqueHandle process(started.hProcess);
  ::ResumeThread(started.hThread);
  UniqueHandle(started.hThread).reset();
  input.reset();
  output.reset();
  ownOutput.reset();
  ownError.reset();
  result.started = true;

  const DWORD waited = ::WaitForSingleObject(started.hProcess, waitMilliseconds(options.timeLimit));
  bool endedByUs = false;
  {
    std::lock_guard<std::mutex> guard(childrenLock());
    if (waited != WAIT_OBJECT_0) {
      result.timedOut = true;
      endedByUs = true;
      for (const Child& child : children()) {
        if (child.process == started.hProcess && child.job != nullptr) ::TerminateJobObject(child.job, 1);
      }
      ::TerminateProcess(started.hProcess, 1);
    }
    auto& list = children();
    const auto entry = std::find_if(list.begin(), list.end(),
                                    [&](const Child& child) { return child.process == started.hProcess; });
    if (entry != list.end()) {
      endedByUs = endedByUs || entry->ended;
      list.erase(entry);
    }
  }
  if (result.timedOut) ::WaitForSingleObject(started.hProcess, 10000);
  DWORD code = 0;
  if (!endedByUs && ::GetExitCodeProcess(started.hProcess, &code) && code != STILL_ACTIVE) {
    result.exitCode = static_cast<int>(code);
  }
  if (capture) result.output = readFromStart(capture.get());
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
    std::lock_guard<std::mutex> guard(childrenLock());
    for (Child& child : children()) {
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
