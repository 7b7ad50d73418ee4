#include "platform/ProgramLocation.h"

#include <cstdlib>

#include "platform/FileOperations.h"
#include "platform/TextEncoding.h"
#include "platform/WorkingFiles.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <vector>
#endif

namespace platform {

#ifdef _WIN32

namespace {

constexpr char kPathListSeparator = ';';

bool canRun(const std::string& path) { return isRegularFile(path); }

}  // namespace

const char* ExecutableSuffix() { return ".exe"; }

std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::string();
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= 32768) return std::string();
    path.resize(path.size() * 2);
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return std::string();
  std::wstring folder = path.substr(0, slash);
  if (folder.size() == 2 && folder[1] == L':') folder += L'\\';  // "C:" alone is the current folder of C:
  return narrowFromWide(folder);
}

std::string EnvironmentVariable(const char* name) {
  const wchar_t* value = ::_wgetenv(wideFromNarrow(name).c_str());
  return value == nullptr ? std::string() : narrowFromWide(value);
}

#else

namespace {

constexpr char kPathListSeparator = ':';

bool canRun(const std::string& path) { return isRegularFile(path) && ::access(path.c_str(), X_OK) == 0; }

}  // namespace

const char* ExecutableSuffix() { return ""; }

std::string EnvironmentVariable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::string ProgramFolder() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return std::string();
    if (static_cast<std::size_t>(length) < buffer.size()) {
      const std::string path(buffer.data(), static_cast<std::size_t>(length));
      return parentFolder(path);
    }
    if (buffer.size() >= (1u << 20)) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

#endif

namespace {

std::string findOnPath(const std::string& fileName, bool (*accept)(const std::string& path)) {
  const std::string list = EnvironmentVariable("PATH");
  if (list.empty() || fileName.empty()) return std::string();
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(kPathListSeparator, start);
    if (end == std::string::npos) end = list.size();
    const std::string folder = list.substr(start, end - start);
    if (!folder.empty()) {
      const std::string candidate = joinPath(folder, fileName);
      if (accept(candidate)) return candidate;
    }
    start = end + 1;
  }
  return std::string();
}

bool exists(const std::string& path) { return pathKindOf(path) != PathKind::kMissing; }

}  // namespace

std::string FindProgramOnPath(const std::string& fileName) { return findOnPath(fileName, canRun); }

std::string FindAnythingOnPath(const std::string& fileName) { return findOnPath(fileName, exists); }

}  // namespace platform
