#include "platform/TextFile.h"

#ifdef _WIN32
#include <cstdio>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/PosixDescriptors.h"
#include "platform/TextEncoding.h"
#endif

namespace platform {

#ifdef _WIN32

bool appendToFile(const std::u16string& path, std::string_view headerWhenEmpty, std::string_view bytes) {
  const std::wstring widePath(path.begin(), path.end());
  FILE* file = nullptr;
  // Binary: the caller's CR LF and UTF-16 reach the disk unchanged.
  if (_wfopen_s(&file, widePath.c_str(), L"ab") != 0 || file == nullptr) return false;
  bool written = _fseeki64(file, 0, SEEK_END) == 0;
  const long long size = written ? _ftelli64(file) : -1;
  written = size >= 0;
  if (written && size == 0 && !headerWhenEmpty.empty()) {
    written = std::fwrite(headerWhenEmpty.data(), 1, headerWhenEmpty.size(), file) == headerWhenEmpty.size();
  }
  if (written && !bytes.empty()) written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

#else

namespace {

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t done = ::write(fd, bytes.data(), bytes.size());
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
  return true;
}

}  // namespace

bool appendToFile(const std::u16string& path, std::string_view headerWhenEmpty, std::string_view bytes) {
  // Non-blocking only so that a FIFO of that name fails instead of waiting
  // for a reader; a regular file ignores it.
  UniqueDescriptor file(::open(utf8FromUtf16(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0666));
  if (!file) return false;
  struct stat status {};
  bool written = ::fstat(file.get(), &status) == 0 && S_ISREG(status.st_mode);
  if (written && status.st_size == 0) written = writeAll(file.get(), headerWhenEmpty);
  if (written) written = writeAll(file.get(), bytes);
  // The close counts: a write the system had only queued can fail there.
  return ::close(file.release()) == 0 && written;
}

#endif

}  // namespace platform
