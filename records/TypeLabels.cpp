#include "records/TypeLabels.h"

#include <cstddef>
#include <limits>

#include "platform/TextEncoding.h"

namespace records {

namespace {

template <std::size_t Size>
std::u16string_view labelAt(const std::u16string_view (&labels)[Size], std::int32_t type) {
  if (type < 0 || static_cast<std::size_t>(type) >= Size) return {};
  return labels[type];
}

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

constexpr std::int32_t kCustomType = 0;

std::u16string customName(const char* label) {
  if (label == nullptr || label[0] == '\0') return u"Custom";
  return platform::utf16FromNarrow(label);
}

}  // namespace

std::u16string_view PhoneTypeLabel(std::int32_t type) { return labelAt(PhoneTypeLabels, type); }

std::u16string_view EmailTypeLabel(std::int32_t type) { return labelAt(EmailTypeLabels, type); }

std::u16string_view MessageTypeLabel(std::int32_t type) { return labelAt(MessageTypeLabels, type); }

std::u16string PhoneTypeName(std::int32_t type, const char* label) {
  // The types without a label of their own in the table above.
  static constexpr std::u16string_view kMoreNames[] = {u"", u"", u"", u"", u"", u"", u"", u"", u"Callback", u"Car",
                                                       u"", u"", u"Main"};
  if (type == kCustomType) return customName(label);
  const std::u16string_view name = PhoneTypeLabel(type);
  return std::u16string(name.empty() ? labelAt(kMoreNames, type) : name);
}

std::u16string EmailTypeName(std::int32_t type, const char* label) {
  if (type == kCustomType) return customName(label);
  return std::u16string(EmailTypeLabel(type));
}

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
