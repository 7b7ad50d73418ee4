#pragma once
// Read-only, positioned reads on a file that other processes may keep
// reading and writing meanwhile (share mode "deny none" on Windows).

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class RandomAccessFile {
 public:
  RandomAccessFile() = default;
  ~RandomAccessFile();
  RandomAccessFile(const RandomAccessFile&) = delete;
  RandomAccessFile& operator=(const RandomAccessFile&) = delete;

  // Opens the file for binary input; false when it cannot be opened.
  bool open(const std::string& path);
  void close();
  bool isOpen() const;

  // Size of the file when it was opened.
  std::uint64_t size() const { return size_; }

  // Reads up to `length` bytes at `offset` into `out`; returns how many were
  // read (fewer at the end of the file or on a read error, never more).
  std::size_t readAt(std::uint64_t offset, std::uint8_t* out, std::size_t length);

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
  std::uint64_t size_ = 0;
};

}  // namespace platform
