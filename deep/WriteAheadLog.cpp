#include "deep/WriteAheadLog.h"

#include "deep/ByteView.h"
#include "engine/DbFile.h"

namespace deep {

namespace {

constexpr std::uint32_t kMagicLittle = 0x377f0682;
constexpr std::uint32_t kMagicBig = 0x377f0683;
constexpr std::uint64_t kHeaderBytes = 32;
constexpr std::uint64_t kFrameHeaderBytes = 24;

struct Checksum {
  std::uint32_t first = 0;
  std::uint32_t second = 0;
  bool operator==(const Checksum& other) const { return first == other.first && second == other.second; }
};

// Adds `length` bytes (a multiple of 8) to the running checksum.
void addToChecksum(Checksum& sum, const std::uint8_t* bytes, std::size_t length, bool bigEndian) {
  const auto word = [&](std::size_t at) {
    return bigEndian ? static_cast<std::uint32_t>(bytes[at]) << 24 | static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
                           static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3]
                     : static_cast<std::uint32_t>(bytes[at + 3]) << 24 | static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
                           static_cast<std::uint32_t>(bytes[at + 1]) << 8 | bytes[at];
  };
  for (std::size_t at = 0; at + 8 <= length; at += 8) {
    sum.first += word(at) + sum.second;
    sum.second += word(at + 4) + sum.first;
  }
}

}  // namespace

WalIndex readWriteAheadLog(engine::DbFile& wal, std::uint32_t pageSize) {
  WalIndex index;
  if (!wal.isOpen() || pageSize == 0) return index;
  const std::uint64_t frameBytes = kFrameHeaderBytes + pageSize;
  if (wal.size() < kHeaderBytes + frameBytes) return index;
  const std::uint64_t frameCount = (wal.size() - kHeaderBytes) / frameBytes;

  std::uint8_t header[kHeaderBytes];
  wal.read(0, header, sizeof header);
  const ByteView head(header, sizeof header);
  const std::uint32_t magic = head.u32(0);
  const bool bigEndian = magic == kMagicBig;
  const std::uint32_t headerPageSize = head.u32(8) == 1 ? 65536 : head.u32(8);
  Checksum running;
  addToChecksum(running, header, 24, bigEndian);
  index.headerValid = (magic == kMagicLittle || magic == kMagicBig) && headerPageSize == pageSize &&
                      running == Checksum{head.u32(24), head.u32(28)};
  const std::uint32_t salt1 = head.u32(16);
  const std::uint32_t salt2 = head.u32(20);

  std::vector<std::uint8_t> frame(static_cast<std::size_t>(frameBytes));
  bool chainIntact = index.headerValid;
  std::size_t lastCommit = 0;
  bool committed = false;
  index.frames.reserve(static_cast<std::size_t>(frameCount));
  for (std::uint64_t slot = 0; slot < frameCount; ++slot) {
    const std::uint64_t offset = kHeaderBytes + slot * frameBytes;
    wal.read(offset, frame.data(), frame.size());
    const ByteView view(frame.data(), frame.size());
    WalFrame entry;
    entry.pageNumber = view.u32(0);
    entry.pageOffset = offset + kFrameHeaderBytes;
    if (chainIntact) {
      Checksum next = running;
      addToChecksum(next, frame.data(), 8, bigEndian);
      addToChecksum(next, frame.data() + kFrameHeaderBytes, pageSize, bigEndian);
      chainIntact = view.u32(8) == salt1 && view.u32(12) == salt2 && next == Checksum{view.u32(16), view.u32(20)} &&
                    entry.pageNumber != 0;
      if (chainIntact) {
        running = next;
        if (view.u32(4) != 0) {
          lastCommit = index.frames.size();
          committed = true;
          index.statePages = view.u32(4);
        }
      }
    }
    index.frames.push_back(entry);
  }
  if (!committed) return index;
  for (std::size_t k = 0; k <= lastCommit; ++k) {
    index.frames[k].inState = true;
    index.current[index.frames[k].pageNumber] = k;
  }
  return index;
}

}  // namespace deep
