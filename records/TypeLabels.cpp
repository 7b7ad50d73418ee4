#include "records/TypeLabels.h"

#include <cstddef>
#include <limits>

namespace records {

namespace {

template <std::size_t Size>
std::u16string_view labelAt(const std::u16string_view (&labels)[Size], std::int32_t type) {
  if (type < 0 || static_cast<std::size_t>(type) >= Size) return {};
  return labels[type];
}

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

std::u16string_view PhoneTypeLabel(std::int32_t type) { return labelAt(PhoneTypeLabels, type); }

std::u16string_view EmailTypeLabel(std::int32_t type) { return labelAt(EmailTypeLabels, type); }

std::u16string_view MessageTypeLabel(std::int32_t type) { return labelAt(MessageTypeLabels, type); }

std::int32_t TypeCodeOf(const char* text) {
  if (text == nullptr) return 0;
  const char* p = text;
  while (isSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  // Accumulated as a negative number, whose range holds the 32-bit minimum.
  constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();
  std::int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 - (*p - '0');
    if (value < kLowest) value = kLowest;
  }
  if (!negative) value = value == kLowest ? std::numeric_limits<std::int32_t>::max() : -value;
  return static_cast<std::int32_t>(value);
}

}  // namespace records
