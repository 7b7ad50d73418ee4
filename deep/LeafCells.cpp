#include "deep/LeafCells.h"

#include <algorithm>
#include <unordered_set>

#include "engine/BtreePage.h"

namespace deep {

namespace {

// An empty content-start field means 65,536.
constexpr std::size_t kContentStartOfZero = 65536;

// The payload of a cell whose tail is on overflow pages, read in the
// current state; false when the chain ends short or loops.
bool readOverflowing(PageStore& store, ByteView image, std::size_t position, std::uint32_t local,
                     std::uint64_t length, std::vector<std::uint8_t>& payload) {
  thread_local std::vector<std::uint8_t> overflow;
  const std::uint32_t usable = store.usableSize();
  if (position + local + 4 > usable) return false;
  payload.assign(image.data() + position, image.data() + position + local);
  std::uint32_t next = image.u32(position + local);
  std::unordered_set<std::uint32_t> chain;
  while (payload.size() < length && next != 0 && chain.insert(next).second && store.readCurrent(next, overflow)) {
    const ByteView page(overflow.data(), overflow.size());
    const std::size_t take = std::min<std::uint64_t>(length - payload.size(), usable - 4);
    payload.insert(payload.end(), overflow.begin() + 4, overflow.begin() + 4 + static_cast<std::ptrdiff_t>(take));
    next = page.u32(0);
  }
  return payload.size() == length;
}

}  // namespace

void ReadLeafCells(PageStore& store, ByteView image, std::size_t header, const CellCarver& carver,
                   const std::function<void(CarvedRow&)>& sink) {
  const std::uint32_t usable = store.usableSize();
  const std::size_t pointers = header + engine::kLeafPointerArray;
  const std::size_t cells = std::min<std::size_t>(image.u16(header + engine::kCellCountOffset), (usable - pointers) / 2);
  thread_local std::vector<std::uint8_t> payload;
  thread_local std::vector<bool> seen;
  thread_local CarvedRow row;
  seen.assign(usable, false);
  for (std::size_t cell = 0; cell < cells; ++cell) {
    const std::size_t at = image.u16(pointers + 2 * cell);
    if (at < pointers + 2 * cells || at >= usable || seen[at]) continue;
    seen[at] = true;
    std::size_t position = at;
    std::uint64_t length = 0;
    std::uint64_t rowid = 0;
    if (!image.varint(position, usable, length) || !image.varint(position, usable, rowid)) continue;
    if (length == 0 || length > kMaxPayload) continue;
    const std::uint32_t local = localPayload(length, usable);
    if (position + local > usable) continue;
    if (local == length) {
      if (!carver.decodePayload(ByteView(image.data() + position, local), row)) continue;
    } else if (!readOverflowing(store, image, position, local, length, payload) ||
               !carver.decodePayload(ByteView(payload.data(), payload.size()), row)) {
      continue;
    }
    row.hasRowid = true;
    row.rowid = static_cast<std::int64_t>(rowid);
    sink(row);
  }
}

void ReadLeafCells(PageStore& store, ByteView image, std::size_t header, const CellCarver& carver,
                   std::vector<CarvedRow>& out) {
  ReadLeafCells(store, image, header, carver, [&](CarvedRow& row) { out.push_back(row); });
}

void CarveFreeSpace(ByteView image, std::size_t header, std::uint32_t usable, const CellCarver& carver,
                    std::vector<CarvedRow>& out) {
  const std::size_t cells = image.u16(header + engine::kCellCountOffset);
  const std::size_t areaStart = header + engine::kLeafPointerArray + 2 * cells;
  std::size_t contentStart = image.u16(header + engine::kCellContentOffset);
  if (contentStart == 0) contentStart = kContentStartOfZero;
  if (contentStart > usable) contentStart = usable;
  if (areaStart < contentStart) carver.carveRegion(image, areaStart, contentStart, out);
  // A sound chain ascends inside the page.
  std::size_t freeblock = image.u16(header + engine::kFirstFreeblockOffset);
  std::size_t previous = 0;
  while (freeblock != 0 && freeblock > previous && freeblock + 4 <= usable) {
    const std::size_t size =
        std::min<std::size_t>(image.u16(freeblock + engine::kFreeblockSizeOffset), usable - freeblock);
    carver.carveFreeblock(image, freeblock, size, out);
    previous = freeblock;
    freeblock = image.u16(freeblock);
  }
}

}  // namespace deep
