#pragma once
// The carvers' work buffer: 65,535 bytes that start zeroed and receive the
// content of one freeblock or one unassigned area. Every position is safe to
// ask for: one at or past the end of the buffer, or past the filled part,
// reads as zero. Only the filled part is stored, so "zeroing" is free.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace engine {

class DbFile;

class WorkBuffer {
 public:
  static constexpr std::size_t kCapacity = 65535;

  WorkBuffer();

  // Zeroes the buffer and fills its first `length` bytes (at most the
  // capacity) from the file at `offset`.
  void fill(DbFile& file, std::uint64_t offset, std::uint64_t length);
  // Zeroes the buffer and copies `length` bytes (test and fuzz entry point).
  void assign(const std::uint8_t* bytes, std::size_t length);

  std::uint8_t at(std::uint64_t position) const {
    return position < filled_ ? content_[static_cast<std::size_t>(position)] : 0;
  }

  // The filled part: positions from there on read as zero.
  const std::uint8_t* filledBytes() const { return content_; }
  std::size_t filledLength() const { return filled_; }

  // The `width` bytes from `position`, cut at the end of the buffer.
  std::string slice(std::uint64_t position, std::uint64_t width) const;

 private:
  std::vector<std::uint8_t> bytes_;
  // The filled bytes: in bytes_, or straight in the file's window when the
  // range is there, which saves copying every area and freeblock.
  const std::uint8_t* content_;
  std::size_t filled_ = 0;
};

}  // namespace engine
