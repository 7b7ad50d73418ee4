#include "platform/NewFile.h"

#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

#include "platform/TextEncoding.h"

namespace platform {

namespace {

// The reason text of a name that is taken, the same on every system so
// that callers can tell it from other failures.
constexpr char kNameTaken[] = "the name exists already";

#ifdef _WIN32

std::string reasonOf(DWORD error) {
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return kNameTaken;
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
  if (text != nullptr) ::LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' ' || wide.back() == L'.')) {
    wide.pop_back();
  }
  std::string reason = narrowFromWide(wide);
  if (reason.empty()) reason = "system error " + std::to_string(error);
  return reason;
}

std::wstring widePathOf(const std::u16string& path) { return std::wstring(path.begin(), path.end()); }

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

#else

std::string reasonOf(int error) {
  if (error == EEXIST) return kNameTaken;
  if (error == ELOOP) return "the name is a link, which is never followed";
  return std::strerror(error);
}

#endif

}  // namespace

bool isNameTakenReason(const std::string& reason) { return reason == kNameTaken; }

NewFile::~NewFile() { close(); }

bool NewFile::fail(std::string reason) {
  if (error_.empty()) error_ = std::move(reason);
  return false;
}

#ifdef _WIN32

bool NewFile::create(const std::u16string& path) {
  close();
  const HANDLE file = ::CreateFileW(widePathOf(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return fail(reasonOf(::GetLastError()));
  handle_ = reinterpret_cast<std::intptr_t>(file);
  // CREATE_NEW already refuses any existing name; this guards against a
  // file system that hands back something else all the same.
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(file, &information)) return fail(reasonOf(::GetLastError()));
  if ((information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    close();
    return fail("the name is a link or folder, which is never followed");
  }
  return true;
}

bool NewFile::write(std::string_view bytes) {
  if (!isOpen()) return fail("the file is not open");
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
    DWORD done = 0;
    if (!::WriteFile(handleOf(handle_), bytes.data(), chunk, &done, nullptr)) return fail(reasonOf(::GetLastError()));
    if (done == 0) return fail("nothing more could be written");
    bytes.remove_prefix(done);
  }
  return true;
}

bool NewFile::close() {
  if (!isOpen()) return false;
  const bool closed = ::CloseHandle(handleOf(handle_)) != 0;
  handle_ = kNoHandle;
  return closed || fail(reasonOf(::GetLastError()));
}

bool createNewFolder(const std::u16string& path, std::string& reason) {
  if (::CreateDirectoryW(widePathOf(path).c_str(), nullptr)) return true;
  reason = reasonOf(::GetLastError());
  return false;
}

#else

bool NewFile::create(const std::u16string& path) {
  close();
  const int fd =
      ::open(utf8FromUtf16(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return fail(reasonOf(errno));
  handle_ = fd;
  return true;
}

bool NewFile::write(std::string_view bytes) {
  if (!isOpen()) return fail("the file is not open");
  while (!bytes.empty()) {
    const ssize_t done = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
    if (done < 0 && errno == EINTR) continue;
    if (done < 0) return fail(reasonOf(errno));
    if (done == 0) return fail("nothing more could be written");
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
  return true;
}

bool NewFile::close() {
  if (!isOpen()) return false;
  const bool closed = ::close(static_cast<int>(handle_)) == 0;
  handle_ = kNoHandle;
  return closed || fail(reasonOf(errno));
}

bool createNewFolder(const std::u16string& path, std::string& reason) {
  if (::mkdir(utf8FromUtf16(path).c_str(), 0777) == 0) return true;
  reason = reasonOf(errno);
  return false;
}

#endif

}  // namespace platform
