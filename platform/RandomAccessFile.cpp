#include "platform/RandomAccessFile.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/TextEncoding.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include "platform/PosixDescriptors.h"
#endif

#include <algorithm>
#include <limits>

namespace platform {

RandomAccessFile::~RandomAccessFile() { close(); }

#ifdef _WIN32

bool RandomAccessFile::open(const std::string& path) {
  close();
  HANDLE file = CreateFileW(wideFromNarrow(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER fileSize;
  if (!GetFileSizeEx(file, &fileSize) || fileSize.QuadPart < 0) {
    CloseHandle(file);
    return false;
  }
  handle_ = file;
  size_ = static_cast<std::uint64_t>(fileSize.QuadPart);
  return true;
}

void RandomAccessFile::close() {
  if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
  size_ = 0;
}

bool RandomAccessFile::isOpen() const { return handle_ != nullptr; }

std::size_t RandomAccessFile::readAt(std::uint64_t offset, std::uint8_t* out, std::size_t length) {
  std::size_t done = 0;
  while (handle_ != nullptr && done < length) {
    const DWORD chunk = static_cast<DWORD>(
        std::min<std::size_t>(length - done, std::numeric_limits<DWORD>::max() / 2));
    OVERLAPPED where{};
    const std::uint64_t at = offset + done;
    where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(handle_), out + done, chunk, &got, &where) || got == 0) break;
    done += got;
  }
  return done;
}

#else

bool RandomAccessFile::open(const std::string& path) {
  close();
  UniqueDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file) return false;
  struct stat info {};
  if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  fd_ = file.release();
  size_ = static_cast<std::uint64_t>(info.st_size);
  return true;
}

void RandomAccessFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
}

bool RandomAccessFile::isOpen() const { return fd_ >= 0; }

std::size_t RandomAccessFile::readAt(std::uint64_t offset, std::uint8_t* out, std::size_t length) {
  std::size_t done = 0;
  constexpr std::uint64_t kMaxOffset = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());
  while (fd_ >= 0 && done < length && offset + done < kMaxOffset) {
    const ssize_t got = ::pread(fd_, out + done, length - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

#endif

}  // namespace platform
