#pragma once
// A run of bytes read from a copy (a page image, a payload), read only
// through checked accessors: a position at or past the end reads as zero,
// and a varint that would run past its limit is refused without moving the
// cursor. Every offset the deep pass takes from a file goes through here.

#include <cstddef>
#include <cstdint>

namespace deep {

class ByteView {
 public:
  ByteView() = default;
  ByteView(const std::uint8_t* data, std::size_t size) : data_(data), size_(data == nullptr ? 0 : size) {}

  std::size_t size() const { return size_; }
  const std::uint8_t* data() const { return data_; }

  std::uint8_t at(std::size_t position) const { return position < size_ ? data_[position] : 0; }
  std::uint16_t u16(std::size_t position) const {
    return static_cast<std::uint16_t>(at(position) << 8 | at(position + 1));
  }
  std::uint32_t u32(std::size_t position) const {
    return static_cast<std::uint32_t>(at(position)) << 24 | static_cast<std::uint32_t>(at(position + 1)) << 16 |
           static_cast<std::uint32_t>(at(position + 2)) << 8 | at(position + 3);
  }

  // True when [position, position + length) lies inside the view.
  bool holds(std::size_t position, std::size_t length) const {
    return position <= size_ && length <= size_ - position;
  }

  // SQLite's varint at `position`, ending before `limit` (and the view's
  // end). On success moves `position` past it.
  bool varint(std::size_t& position, std::size_t limit, std::uint64_t& value) const {
    if (limit > size_) limit = size_;
    std::uint64_t result = 0;
    for (std::size_t k = 0; k < 9; ++k) {
      const std::size_t at_ = position + k;
      if (at_ >= limit) return false;
      const std::uint8_t byte = data_[at_];
      if (k == 8) {
        result = (result << 8) | byte;
        position = at_ + 1;
        value = result;
        return true;
      }
      result = (result << 7) | (byte & 0x7Fu);
      if ((byte & 0x80u) == 0) {
        position = at_ + 1;
        value = result;
        return true;
      }
    }
    return false;
  }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

// Bytes a varint of this value takes.
inline std::size_t varintLength(std::uint64_t value) {
  std::size_t length = 1;
  while (length < 9 && (length == 8 ? value >> 56 != 0 : value >> (7 * length) != 0)) ++length;
  return length;
}

}  // namespace deep
