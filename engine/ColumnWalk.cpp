#include "engine/ColumnWalk.h"

#include <cassert>

#include "engine/SerialType.h"
#include "engine/Varint.h"
#include "engine/WorkBuffer.h"

namespace engine {

ColumnWalk::ColumnWalk(const WorkBuffer& buffer, std::uint64_t start, const int* wanted,
                       std::size_t wantedCount)
    : buffer_(buffer), wantedCount_(wantedCount < kMaxWanted ? wantedCount : kMaxWanted), header_(start) {
  // The record layouts name at most kMaxWanted fields of a table.
  assert(wantedCount <= kMaxWanted && (wanted != nullptr || wantedCount == 0));
  for (std::size_t k = 0; k < wantedCount_; ++k) wanted_[k] = wanted[k];
}

void ColumnWalk::decodeColumn() {
  const Varint serialType = decodeVarint(buffer_, header_);
  const std::uint64_t width = calculateDataWidth(serialType.value);
  for (std::size_t k = 0; k < wantedCount_; ++k) {
    if (wanted_[k] == column_) spans_[k] = Span{bodyOffset_, width, serialType.value};
  }
  bodyOffset_ += width;
  header_ += serialType.length;
  total_ += serialType.length + width;
  ++column_;
}

std::string ColumnWalk::field(std::size_t index) const {
  if (index >= wantedCount_) return std::string();
  return buffer_.slice(header_ + spans_[index].offset, spans_[index].width);
}

}  // namespace engine
