#include "engine/DbFile.h"

#include <algorithm>
#include <cstring>

namespace engine {

bool DbFile::open(const std::string& path) {
  windowLength_ = 0;
  windowStart_ = 0;
  return file_.open(path);
}

void DbFile::close() {
  file_.close();
  windowLength_ = 0;
  std::vector<std::uint8_t>().swap(window_);
}

bool DbFile::holds(std::uint64_t offset, std::size_t length) const {
  return offset >= windowStart_ && offset - windowStart_ <= windowLength_ &&
         length <= windowLength_ - (offset - windowStart_);
}

void DbFile::read(std::uint64_t offset, std::uint8_t* out, std::size_t length) {
  if (length == 0) return;
  if (holds(offset, length)) {
    std::memcpy(out, window_.data() + (offset - windowStart_), length);
    return;
  }
  std::size_t got = 0;
  if (offset < size()) {
    const std::uint64_t available = size() - offset;
    got = file_.readAt(offset, out, static_cast<std::size_t>(std::min<std::uint64_t>(available, length)));
  }
  std::memset(out + got, 0, length - got);
}

const std::uint8_t* DbFile::view(std::uint64_t offset, std::size_t length) const {
  return holds(offset, length) ? window_.data() + (offset - windowStart_) : nullptr;
}

std::uint8_t DbFile::byteAt(std::uint64_t offset) {
  std::uint8_t copy = 0;
  return *bytesAt(offset, &copy, 1);
}

const std::uint8_t* DbFile::bytesAt(std::uint64_t offset, std::uint8_t* copy, std::size_t length) {
  if (const std::uint8_t* bytes = view(offset, length)) return bytes;
  read(offset, copy, length);
  return copy;
}

std::uint16_t DbFile::u16At(std::uint64_t offset) {
  std::uint8_t copy[2];
  const std::uint8_t* bytes = bytesAt(offset, copy, sizeof copy);
  return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
}

std::uint32_t DbFile::u32At(std::uint64_t offset) {
  std::uint8_t copy[4];
  const std::uint8_t* bytes = bytesAt(offset, copy, sizeof copy);
  return static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
         static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
}

void DbFile::keepWindow(std::uint64_t offset, std::size_t length) {
  if (holds(offset, length)) return;
  windowLength_ = 0;  // so that read() below goes to the file
  if (window_.size() < length) window_.resize(length);
  read(offset, window_.data(), length);
  windowStart_ = offset;
  windowLength_ = length;
}

}  // namespace engine
