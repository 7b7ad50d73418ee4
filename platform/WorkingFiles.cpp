#include "platform/WorkingFiles.h"

#include <atomic>
#include <vector>

#include "platform/FileOperations.h"
#include "platform/TextEncoding.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/WindowsHandles.h"
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/PosixDescriptors.h"
#endif

namespace platform {

namespace {

constexpr std::size_t kCopyChunk = 1u << 20;

}  // namespace

#ifdef _WIN32

namespace {

std::string windowsError(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message =
      length != 0 && text != nullptr ? narrowFromWide(std::wstring_view(text, length)) : std::string();
  ::LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "Windows error " + std::to_string(code) : message;
}

HANDLE openForReading(const std::string& path, DWORD access) {
  return ::CreateFileW(wideFromNarrow(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// A disk file that is not a folder: pipes, consoles and devices are not.
bool isPlainFile(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  return ::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileInformationByHandle(handle, &info) &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

PathKind pathKindOf(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(wideFromNarrow(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    // Devices and pipes have no attributes on some systems but open all the same.
    UniqueHandle file(openForReading(path, FILE_READ_ATTRIBUTES));
    return file ? PathKind::kOther : PathKind::kMissing;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return PathKind::kDirectory;
  UniqueHandle file(openForReading(path, FILE_READ_ATTRIBUTES));
  if (!file) return PathKind::kRegular;  // exists, but is held open by another program
  return isPlainFile(file.get()) ? PathKind::kRegular : PathKind::kOther;
}

std::optional<FileFingerprint> fingerprintOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(wideFromNarrow(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
  const std::uint64_t ticks =
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  FileFingerprint fingerprint;
  fingerprint.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  fingerprint.modifiedSeconds = static_cast<std::int64_t>(ticks / 10000000u);
  fingerprint.modifiedNanoseconds = static_cast<std::int64_t>(ticks % 10000000u) * 100;
  return fingerprint;
}

std::string copyRegularFile(const std::string& from, const std::string& to) {
  UniqueHandle source(openForReading(from, GENERIC_READ));
  if (!source) return "cannot open " + from + ": " + windowsError(::GetLastError());
  if (!isPlainFile(source.get())) return from + " is not a regular file";
  UniqueHandle target(::CreateFileW(wideFromNarrow(to).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!target) return "cannot create " + to + ": " + windowsError(::GetLastError());
  std::vector<char> buffer(kCopyChunk);
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(source.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      return "cannot read " + from + ": " + windowsError(::GetLastError());
    }
    if (got == 0) return std::string();
    DWORD written = 0;
    if (!::WriteFile(target.get(), buffer.data(), got, &written, nullptr) || written != got) {
      return "cannot write " + to + ": " + windowsError(::GetLastError());
    }
  }
}

std::optional<std::string> createPrivateFolder(const std::string& prefix) {
  wchar_t wideTemp[MAX_PATH + 1] = {};
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, wideTemp);
  if (length == 0 || length > MAX_PATH) return std::nullopt;
  const std::string temp = narrowFromWide(std::wstring_view(wideTemp, length));
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = prefix + "-" + std::to_string(::GetCurrentProcessId()) + "-" +
                             std::to_string(::GetTickCount64()) + "-" + std::to_string(counter++);
    const std::string path = joinPath(temp, name);
    if (::CreateDirectoryW(wideFromNarrow(path).c_str(), nullptr)) return path;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return std::nullopt;
  }
  return std::nullopt;
}

bool removeFolderAndFiles(const std::string& folder) {
  WIN32_FIND_DATAW entry;
  const UniqueFindHandle search(::FindFirstFileW(wideFromNarrow(joinPath(folder, "*")).c_str(), &entry));
  if (search) {
    do {
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        removeFile(joinPath(folder, narrowFromWide(entry.cFileName)));
      }
    } while (::FindNextFileW(search.get(), &entry));
  }
  const std::wstring wideFolder = wideFromNarrow(folder);
  return ::RemoveDirectoryW(wideFolder.c_str()) != 0 ||
         ::GetFileAttributesW(wideFolder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

#else

namespace {

std::string systemError() { return std::strerror(errno); }

bool writeAll(int fd, const char* data, std::size_t length) {
  while (length > 0) {
    const ssize_t done = ::write(fd, data, length);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) {
      if (done == 0) errno = ENOSPC;
      return false;
    }
    data += done;
    length -= static_cast<std::size_t>(done);
  }
  return true;
}

}  // namespace

PathKind pathKindOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return PathKind::kMissing;
  if (S_ISREG(info.st_mode)) return PathKind::kRegular;
  if (S_ISDIR(info.st_mode)) return PathKind::kDirectory;
  return PathKind::kOther;
}

std::optional<FileFingerprint> fingerprintOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  FileFingerprint fingerprint;
  fingerprint.size = static_cast<std::uint64_t>(info.st_size);
  fingerprint.modifiedSeconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
  fingerprint.modifiedNanoseconds = static_cast<std::int64_t>(info.st_mtim.tv_nsec);
  return fingerprint;
}

std::string copyRegularFile(const std::string& from, const std::string& to) {
  // Non-blocking so that opening a FIFO returns at once; it is then refused.
  UniqueDescriptor source(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (source.get() < 0) return "cannot open " + from + ": " + systemError();
  struct stat info {};
  if (::fstat(source.get(), &info) != 0) return "cannot read " + from + ": " + systemError();
  if (!S_ISREG(info.st_mode)) return from + " is not a regular file";
  UniqueDescriptor target(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (target.get() < 0) return "cannot create " + to + ": " + systemError();
  std::vector<char> buffer(kCopyChunk);
  for (;;) {
    const ssize_t got = ::read(source.get(), buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return "cannot read " + from + ": " + systemError();
    if (got == 0) break;
    if (!writeAll(target.get(), buffer.data(), static_cast<std::size_t>(got))) {
      return "cannot write " + to + ": " + systemError();
    }
  }
  if (::close(target.release()) != 0) return "cannot write " + to + ": " + systemError();
  return std::string();
}

std::optional<std::string> createPrivateFolder(const std::string& prefix) {
  const char* temp = std::getenv("TMPDIR");
  std::string pattern = joinPath(temp != nullptr && *temp != '\0' ? temp : "/tmp", prefix + "-XXXXXX");
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  // mkdtemp makes the folder with mode 0700.
  if (::mkdtemp(name.data()) == nullptr) return std::nullopt;
  return std::string(name.data());
}

bool removeFolderAndFiles(const std::string& folder) {
  if (DIR* listing = ::opendir(folder.c_str())) {
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(listing)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(listing);
    for (const std::string& name : names) ::unlink(joinPath(folder, name).c_str());
  }
  return ::rmdir(folder.c_str()) == 0 || errno == ENOENT;
}

#endif

}  // namespace platform
