#include "platform/ProgramLocation.h"

#include <cstdlib>

#include "platform/FileOperations.h"

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

// The ANSI spelling of a wide path; false when a character has none.
bool ansiFromWide(const std::wstring& wide, std::string& out) {
  if (wide.empty()) return false;
  BOOL usedDefault = FALSE;
  const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return false;
  out.assign(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), static_cast<int>(wide.size()), out.data(), length,
                        nullptr, &usedDefault);
  return !usedDefault;
}

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

  std::string narrow;
  if (ansiFromWide(folder, narrow)) return narrow;
  const DWORD shortLength = ::GetShortPathNameW(folder.c_str(), nullptr, 0);
  if (shortLength == 0) return std::string();
  std::wstring shortFolder(shortLength, L'\0');
  const DWORD written = ::GetShortPathNameW(folder.c_str(), shortFolder.data(), shortLength);
  if (written == 0 || written >= shortLength) return std::string();
  shortFolder.resize(written);
  return ansiFromWide(shortFolder, narrow) ? narrow : std::string();
}

#else

namespace {

constexpr char kPathListSeparator = ':';

bool canRun(const std::string& path) { return isRegularFile(path) && ::access(path.c_str(), X_OK) == 0; }

}  // namespace

const char* ExecutableSuffix() { return ""; }

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

std::string FindProgramOnPath(const std::string& fileName) {
  const char* variable = std::getenv("PATH");
  if (variable == nullptr || fileName.empty()) return std::string();
  const std::string list = variable;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(kPathListSeparator, start);
    if (end == std::string::npos) end = list.size();
    const std::string folder = list.substr(start, end - start);
    if (!folder.empty()) {
      const std::string candidate = joinPath(folder, fileName);
      if (canRun(candidate)) return candidate;
    }
    start = end + 1;
  }
  return std::string();
}

}  // namespace platform
