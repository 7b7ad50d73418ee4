#include "engine/SerialType.h"

namespace engine {

std::uint32_t checkDataType(std::uint32_t serialType) {
  if (serialType >= 2 && serialType <= 5) return kClassInteger;
  if (serialType == 7) return kClassFloat;
  if (serialType > 12 && serialType % 2 == 0) return kClassBlob;
  if (serialType >= 13 && serialType % 2 == 1) return kClassText;
  return serialType;
}

}  // namespace engine
