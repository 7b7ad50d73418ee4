#pragma once
// SQLite's variable-length integer, decoded from the carvers' work buffer.

#include <cstdint>

#include "engine/WorkBuffer.h"

namespace engine {

struct Varint {
  std::uint32_t value = 0;   // values past 32 bits saturate to 0xFFFFFFFF
  std::uint32_t length = 0;  // bytes taken, 1 to 9
};

// Each byte gives its low 7 bits, most significant first, while its high bit
// is set; a ninth byte gives all 8 bits.
Varint decodeLongVarint(const WorkBuffer& buffer, std::uint64_t position);

// Serial types are nearly always one byte: that case is inline.
inline Varint decodeVarint(const WorkBuffer& buffer, std::uint64_t position) {
  const std::uint8_t first = buffer.at(position);
  if (first < 0x80) return Varint{first, 1};
  return decodeLongVarint(buffer, position);
}

}  // namespace engine
