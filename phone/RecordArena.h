#pragma once
// The memory of the phone records: records and their texts are carved out of
// a few large blocks and released all at once by Clear(). A record handed out
// stays at its address until then, so lists may link records freely.
//
// An arena may be given a limit on the bytes it holds; a request beyond it is
// refused (a null result) and the arena reports itself full, so a reader of
// an untrusted file can stop instead of exhausting memory.

#include <cstddef>
#include <limits>
#include <memory>
#include <new>
#include <string_view>
#include <type_traits>
#include <vector>

namespace phone {

class RecordArena {
 public:
  static constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

  explicit RecordArena(std::size_t byteLimit = kNoLimit) : byteLimit_(byteLimit) {}
  RecordArena(const RecordArena&) = delete;
  RecordArena& operator=(const RecordArena&) = delete;
  RecordArena(RecordArena&&) noexcept = default;
  RecordArena& operator=(RecordArena&&) noexcept = default;

  // A zero-filled record; null when the limit refuses it.
  template <typename Record>
  Record* NewRecord() {
    static_assert(std::is_trivially_copyable_v<Record> && std::is_trivially_destructible_v<Record>,
                  "records are plain data; the arena never runs destructors");
    static_assert(alignof(Record) <= alignof(std::max_align_t), "blocks start at the fundamental alignment");
    void* memory = allocate(sizeof(Record), alignof(Record));
    return memory == nullptr ? nullptr : new (memory) Record{};
  }

  // A private NUL-terminated copy of the bytes (its length + 1 bytes, the
  // bytes copied as they are); null when the limit refuses it.
  const char* CopyText(std::string_view text);

  // Releases every record and text; the limit stays.
  void Clear();

  // True once a request was refused; Clear() resets it.
  bool full() const { return full_; }
  // Bytes of the blocks held (what the limit is compared with).
  std::size_t bytesHeld() const { return bytesHeld_; }

 private:
  struct Block {
    std::unique_ptr<unsigned char[]> bytes;
    std::size_t size = 0;
    std::size_t used = 0;
  };

  // Aligned, zero-filled bytes; null when the limit refuses them.
  void* allocate(std::size_t size, std::size_t alignment);

  std::vector<Block> blocks_;
  std::size_t byteLimit_;
  std::size_t bytesHeld_ = 0;
  bool full_ = false;
};

}  // namespace phone
