#include "phone/RecoveredValues.h"

#include <climits>

#include "platform/TextEncoding.h"

namespace phone {

namespace {

constexpr std::int64_t kFirstPlausibleDate = 788918400000;   // 1995-01-01
constexpr std::int64_t kLastPlausibleDate = 4102444800000;   // 2100-01-01
constexpr std::size_t kFewestPrintable = 2;
constexpr std::size_t kFewestNumberDigits = 3;
constexpr std::size_t kSuffixDigits = 7;

bool endsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::string_view TextOf(std::string_view stored) {
  const std::size_t nul = stored.find('\0');
  std::string_view text = nul == std::string_view::npos ? stored : stored.substr(0, nul);
  if (text.size() <= kMaxRecordTextBytes) return text;
  std::size_t end = kMaxRecordTextBytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

bool MakesAValue(std::string_view text) {
  if (!platform::isValidUtf8(text)) return false;
  std::size_t printable = 0;
  for (std::size_t at = 0; at < text.size() && printable < kFewestPrintable; ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte >= 0x80) {
      // A character beyond ASCII: its lead byte counts once; the C1
      // controls (U+0080 to U+009F, lead byte C2 then 80 to 9F) do not.
      if (byte < 0xC0) continue;
      const bool c1Control = byte == 0xC2 && at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) < 0xA0;
      if (!c1Control) ++printable;
      continue;
    }
    if (byte > 0x20 && byte != 0x7F) ++printable;
  }
  return printable >= kFewestPrintable;
}

std::optional<std::int32_t> RecordKeyOf(std::optional<std::int64_t> key) {
  if (!key || *key < 1 || *key > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(*key);
}

std::optional<std::int64_t> PlausibleDate(std::optional<std::int64_t> millis) {
  if (!millis || *millis < kFirstPlausibleDate || *millis >= kLastPlausibleDate) return std::nullopt;
  return millis;
}

std::string DigitsOf(std::string_view text) {
  std::string digits;
  for (const char c : text) {
    if (c >= '0' && c <= '9') digits += c;
  }
  return digits;
}

bool SameNumber(std::string_view digitsA, std::string_view digitsB) {
  if (digitsA.empty() || digitsB.empty()) return false;
  if (digitsA == digitsB) return true;
  if (digitsA.size() < kSuffixDigits || digitsB.size() < kSuffixDigits) return false;
  return endsWith(digitsA, digitsB) || endsWith(digitsB, digitsA);
}

bool LooksLikeNumber(std::string_view text) {
  std::size_t digits = 0;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (std::string_view(" +-()./*#,;").find(c) == std::string_view::npos) {
      return false;
    }
  }
  return digits >= kFewestNumberDigits;
}

bool LooksLikeEmail(std::string_view text) {
  const std::size_t at = text.find('@');
  if (at == std::string_view::npos || at == 0 || text.find_first_of(" \t\r\n") != std::string_view::npos) {
    return false;
  }
  const std::size_t dot = text.find('.', at + 2);
  return dot != std::string_view::npos && dot + 1 < text.size();
}

}  // namespace phone
