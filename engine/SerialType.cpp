#include "engine/SerialType.h"

namespace engine {

std::uint32_t calculateDataWidth(std::uint32_t serialType) {
  switch (serialType) {
    case 0: return 0;
    case 1: return 1;
    case 2: return 2;
    case 3: return 3;
    case 4: return 4;
    case 5: return 6;
    case 6: return 8;
    case 7: return 8;
    case 8:
    case 9:
    case 10:
    case 11: return 0;
    default: break;
  }
  // 12 and up: blobs (even) and texts (odd); 12 and 13 are empty.
  return (serialType - 12) / 2;
}

std::uint32_t checkDataType(std::uint32_t serialType) {
  if (serialType >= 2 && serialType <= 5) return kClassInteger;
  if (serialType == 7) return kClassFloat;
  if (serialType > 12 && serialType % 2 == 0) return kClassBlob;
  if (serialType >= 13 && serialType % 2 == 1) return kClassText;
  return serialType;
}

}  // namespace engine
