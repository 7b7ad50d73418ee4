#include "deep/RollbackJournal.h"

#include <cstring>

#include "deep/ByteView.h"
#include "engine/DbFile.h"

namespace deep {

namespace {

constexpr std::uint8_t kMagic[8] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};
constexpr std::uint64_t kSector = 512;
constexpr std::uint32_t kMaxPageNumber = 1u << 30;

class RecordReader {
 public:
  RecordReader(engine::DbFile& file, std::uint32_t pageSize) : file_(file), pageSize_(pageSize), record_(pageSize + 8u) {}

  std::uint64_t recordBytes() const { return record_.size(); }

  // Reads the record at `offset`; false when it does not fit in the file or
  // names no page. `nonce` is what its checksum implies.
  bool read(std::uint64_t offset, std::uint32_t& pageNumber, std::uint32_t& nonce) {
    if (offset > file_.size() || file_.size() - offset < record_.size()) return false;
    file_.read(offset, record_.data(), record_.size());
    const ByteView view(record_.data(), record_.size());
    pageNumber = view.u32(0);
    if (pageNumber == 0 || pageNumber > kMaxPageNumber) return false;
    std::uint32_t sum = 0;
    for (std::uint32_t at = pageSize_ >= 200 ? pageSize_ - 200 : 0; at > 0; at = at >= 200 ? at - 200 : 0) {
      sum += view.at(4 + at);
    }
    nonce = view.u32(4 + pageSize_) - sum;
    return true;
  }

 private:
  engine::DbFile& file_;
  std::uint32_t pageSize_;
  std::vector<std::uint8_t> record_;
};

bool magicAt(engine::DbFile& file, std::uint64_t offset) {
  std::uint8_t bytes[sizeof kMagic];
  file.read(offset, bytes, sizeof bytes);
  return std::memcmp(bytes, kMagic, sizeof kMagic) == 0;
}

}  // namespace

JournalIndex readRollbackJournal(engine::DbFile& journal, std::uint32_t pageSize) {
  JournalIndex index;
  if (!journal.isOpen() || pageSize < 512) return index;
  RecordReader records(journal, pageSize);
  const std::uint64_t size = journal.size();
  std::uint64_t position = 0;
  bool first = true;
  while (position < size) {
    std::uint64_t start = position;
    std::uint32_t nonce = 0;
    bool knownNonce = false;
    std::uint64_t runLimit = ~std::uint64_t{0};
    const bool header = position % kSector == 0 && magicAt(journal, position);
    if (header) {
      std::uint8_t bytes[28];
      journal.read(position, bytes, sizeof bytes);
      const ByteView view(bytes, sizeof bytes);
      const std::uint32_t sector = view.u32(20);
      const std::uint64_t headerBytes =
          sector >= kSector && sector <= 65536 && (sector & (sector - 1)) == 0 ? sector : kSector;
      nonce = view.u32(12);
      knownNonce = true;
      if (view.u32(8) != 0xFFFFFFFFu) runLimit = view.u32(8);
      if (first && position == 0 && view.u32(8) != 0) {
        index.hot = true;
        index.statePages = view.u32(16);
      }
      start = position + headerBytes;
    }
    // Without a header, two records in a row whose checksums imply the same
    // nonce start a run.
    std::uint32_t pageNumber = 0;
    std::uint32_t implied = 0;
    if (!knownNonce && records.read(start, pageNumber, implied)) {
      std::uint32_t nextPage = 0;
      std::uint32_t nextNonce = 0;
      if (records.read(start + records.recordBytes(), nextPage, nextNonce) && nextNonce == implied) {
        nonce = implied;
        knownNonce = true;
      }
    }
    std::uint64_t end = start;
    if (knownNonce) {
      std::uint64_t taken = 0;
      while (taken < runLimit && records.read(end, pageNumber, implied) && implied == nonce) {
        const std::size_t record = index.pages.size();
        index.pages.push_back(JournalPage{pageNumber, end + 4});
        if (first && index.hot) index.rollback.emplace(pageNumber, record);
        end += records.recordBytes();
        ++taken;
      }
    }
    first = false;
    if (end > start) {
      // An older, longer run goes on where this one stops, at the same
      // stride: look there first.
      position = end;
    } else {
      // Runs and headers otherwise begin on sector boundaries.
      position = (position / kSector + 1) * kSector;
    }
  }
  if (index.hot && index.rollback.empty()) index.hot = false;
  return index;
}

}  // namespace deep
