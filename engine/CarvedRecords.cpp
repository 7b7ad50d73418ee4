#include "engine/CarvedRecords.h"

namespace engine {

std::optional<std::int64_t> StoredInteger(const StoredValue& value) {
  static constexpr std::uint8_t kIntegerWidths[7] = {0, 1, 2, 3, 4, 6, 8};
  if (value.serialType == 8) return 0;
  if (value.serialType == 9) return 1;
  if (value.serialType < 1 || value.serialType > 6) return std::nullopt;
  const std::size_t width = kIntegerWidths[value.serialType];
  if (value.bytes.size() != width) return std::nullopt;
  std::uint64_t bits = (static_cast<unsigned char>(value.bytes[0]) & 0x80u) != 0 ? ~std::uint64_t{0} : 0;
  for (const char byte : value.bytes) bits = (bits << 8) | static_cast<unsigned char>(byte);
  return static_cast<std::int64_t>(bits);
}

}  // namespace engine
