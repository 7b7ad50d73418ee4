#pragma once
// SQLite record serial types: how many body bytes a value takes, and the
// engine's own class codes for them.
//
//   serial type        width            class (checkDataType)
//   0                  0                0
//   1 2 3 4            1 2 3 4          1 (1 reports itself), 2-4: 1 integer
//   5                  6                1 integer
//   6 7                8                6 itself, 7: 3 float
//   8 9 10 11          0                the type itself
//   12                 0                12 itself
//   N >= 13, even      (N - 12) / 2     2 blob
//   N >= 13, odd       (N - 13) / 2     4 text

#include <cstdint>

namespace engine {

constexpr std::uint32_t kClassInteger = 1;
constexpr std::uint32_t kClassBlob = 2;
constexpr std::uint32_t kClassFloat = 3;
constexpr std::uint32_t kClassText = 4;

inline std::uint32_t calculateDataWidth(std::uint32_t serialType) {
  // 0 to 11, then blobs (even) and texts (odd) from 12, where 12 and 13 are empty.
  static constexpr std::uint8_t kFixedWidths[12] = {0, 1, 2, 3, 4, 6, 8, 8, 0, 0, 0, 0};
  return serialType < 12 ? kFixedWidths[serialType] : (serialType - 12) / 2;
}
std::uint32_t checkDataType(std::uint32_t serialType);

// Single-byte tests of the unassigned-area carvers: a numeric byte is NULL,
// an integer or a float (0 to 7); a text byte has the text class.
constexpr std::uint8_t kLastNumericByte = 7;
inline bool isNumericByte(std::uint8_t byte) { return byte <= kLastNumericByte; }
inline bool isTextByte(std::uint8_t byte) { return byte >= 13 && (byte & 1) != 0; }

}  // namespace engine
