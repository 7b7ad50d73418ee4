#include "engine/WorkBuffer.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "engine/DbFile.h"

namespace engine {

// Slack past the capacity stays zero: a second line of defence should a
// reader ever look one step too far.
constexpr std::size_t kSlack = 16;

WorkBuffer::WorkBuffer() : bytes_(kCapacity + kSlack, 0), content_(bytes_.data()) {}

void WorkBuffer::fill(DbFile& file, std::uint64_t offset, std::uint64_t length) {
  filled_ = static_cast<std::size_t>(std::min<std::uint64_t>(length, kCapacity));
  content_ = file.view(offset, filled_);
  if (content_ == nullptr) {
    file.read(offset, bytes_.data(), filled_);
    content_ = bytes_.data();
  }
  assert(filled_ <= kCapacity && content_ != nullptr);
}

void WorkBuffer::assign(const std::uint8_t* bytes, std::size_t length) {
  filled_ = std::min(length, kCapacity);
  if (filled_ > 0) std::memcpy(bytes_.data(), bytes, filled_);
  content_ = bytes_.data();
}

std::string WorkBuffer::slice(std::uint64_t position, std::uint64_t width) const {
  if (position >= kCapacity) return std::string();
  const std::size_t start = static_cast<std::size_t>(position);
  const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(width, kCapacity - start));
  std::string out(length, '\0');
  if (start < filled_) {
    const std::size_t stored = std::min(length, filled_ - start);
    std::memcpy(out.data(), content_ + start, stored);
  }
  return out;
}

}  // namespace engine
