#include "engine/Varint.h"


namespace engine {

Varint decodeLongVarint(const WorkBuffer& buffer, std::uint64_t position) {
  std::uint64_t value = 0;
  for (std::uint32_t index = 0; index < 8; ++index) {
    const std::uint8_t byte = buffer.at(position + index);
    value = value << 7 | (byte & 0x7Fu);
    if ((byte & 0x80u) == 0) {
      const std::uint32_t narrow = value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
      return Varint{narrow, index + 1};
    }
  }
  value = value << 8 | buffer.at(position + 8);
  const std::uint32_t narrow = value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
  return Varint{narrow, 9};
}

}  // namespace engine
