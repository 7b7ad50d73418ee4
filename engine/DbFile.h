#pragma once
// The carved database file, read at absolute offsets.
//
// Every read is defined: bytes past the end of the file (as it was when
// opened) read as zero, and a short read never poisons later reads. A
// window of consecutive bytes can be kept in memory so that a pass over
// neighbouring pages costs one read, not one per value; the bytes returned
// are the same either way.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/RandomAccessFile.h"

namespace engine {

class DbFile {
 public:
  bool open(const std::string& path);
  void close();
  bool isOpen() const { return file_.isOpen(); }
  std::uint64_t size() const { return file_.size(); }

  // Copies `length` bytes at `offset` into `out`, zero past the end of file.
  void read(std::uint64_t offset, std::uint8_t* out, std::size_t length);

  std::uint8_t byteAt(std::uint64_t offset);
  std::uint16_t u16At(std::uint64_t offset);  // big-endian
  std::uint32_t u32At(std::uint64_t offset);  // big-endian

  // True when [offset, offset + length) is in memory.
  bool holds(std::uint64_t offset, std::size_t length) const;

  // The bytes [offset, offset + length) when they are in memory, else null.
  // Valid until the next keepWindow.
  const std::uint8_t* view(std::uint64_t offset, std::size_t length) const;

  // Keeps [offset, offset + length) in memory for the reads that follow;
  // reads outside the window still go to the file.
  void keepWindow(std::uint64_t offset, std::size_t length);

 private:
  // The `length` bytes at `offset`: in the window when they are there,
  // else read into `copy`, which has room for them.
  const std::uint8_t* bytesAt(std::uint64_t offset, std::uint8_t* copy, std::size_t length);

  platform::RandomAccessFile file_;
  std::vector<std::uint8_t> window_;  // capacity reused between windows
  std::size_t windowLength_ = 0;
  std::uint64_t windowStart_ = 0;
};

}  // namespace engine
