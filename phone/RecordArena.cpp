#include "phone/RecordArena.h"

#include <cassert>
#include <cstring>

namespace phone {

namespace {

// Small requests share blocks of this size; a larger one gets a block of its own.
constexpr std::size_t kBlockSize = 64 * 1024;
constexpr std::size_t kOwnBlockFrom = kBlockSize / 4;

}  // namespace

const char* RecordArena::CopyText(std::string_view text) {
  if (text.size() == std::numeric_limits<std::size_t>::max()) return nullptr;
  auto* copy = static_cast<char*>(allocate(text.size() + 1, 1));
  if (copy == nullptr) return nullptr;
  if (!text.empty()) std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

void RecordArena::Clear() {
  blocks_.clear();
  blocks_.shrink_to_fit();
  bytesHeld_ = 0;
  full_ = false;
}

void* RecordArena::allocate(std::size_t size, std::size_t alignment) {
  assert(alignment != 0 && (alignment & (alignment - 1)) == 0 && alignment <= alignof(std::max_align_t));
  if (size == 0) size = 1;
  if (!blocks_.empty() && size < kOwnBlockFrom) {
    Block& current = blocks_.back();
    const std::size_t start = (current.used + alignment - 1) / alignment * alignment;
    if (start <= current.size && current.size - start >= size) {
      current.used = start + size;
      assert(current.used <= current.size);
      return current.bytes.get() + start;
    }
  }

  const std::size_t blockSize = size < kOwnBlockFrom ? kBlockSize : size;
  if (blockSize > byteLimit_ || bytesHeld_ > byteLimit_ - blockSize) {
    full_ = true;
    return nullptr;
  }
  // A fresh block starts at the allocator's fundamental alignment, enough
  // for every record layout.
  Block block;
  block.bytes = std::make_unique<unsigned char[]>(blockSize);
  block.size = blockSize;
  block.used = size;
  void* memory = block.bytes.get();
  if (size < kOwnBlockFrom || blocks_.empty()) {
    blocks_.push_back(std::move(block));
  } else {
    // Keep the partly used shared block last so that small requests go on
    // filling it.
    blocks_.insert(blocks_.end() - 1, std::move(block));
  }
  bytesHeld_ += blockSize;
  return memory;
}

}  // namespace phone
