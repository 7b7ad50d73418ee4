#include "records/ExportFileName.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace records {

namespace {

bool isForbidden(char16_t c) {
  switch (c) {
    case u'\\':
    case u'/':
    case u':':
    case u'*':
    case u'?':
    case u'"':
    case u'<':
    case u'>':
    case u'|':
      return true;
    default:
      return c < 0x20;
  }
}

// Characters that are dropped from names: DEL and the invisible
// characters that reorder how the rest is shown.
bool isDropped(char16_t c) {
  return c == 0x7F || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

std::u16string withoutDropped(std::u16string_view text) {
  std::u16string kept;
  kept.reserve(text.size());
  for (const char16_t c : text) {
    if (!isDropped(c)) kept.push_back(c);
  }
  return kept;
}

std::u16string upperAscii(std::u16string_view name);

char16_t asciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// UTF-8 bytes of the character whose first unit is `unit` (a pair counts
// as one character of 4 bytes; a lone surrogate as U+FFFD, 3 bytes).
std::size_t utf8Bytes(char16_t unit, bool pair) {
  if (pair) return 4;
  if (unit < 0x80) return 1;
  if (unit < 0x800) return 2;
  return 3;
}

// The text cut to whole characters within both limits.
std::u16string_view cutToLimits(std::u16string_view text) {
  std::size_t units = 0;
  std::size_t bytes = 0;
  while (units < text.size()) {
    const bool pair = isHighSurrogate(text[units]) && units + 1 < text.size() && isLowSurrogate(text[units + 1]);
    const std::size_t width = pair ? 2 : 1;
    const std::size_t size = utf8Bytes(text[units], pair);
    if (units + width > kMaxNameUnits || bytes + size > kMaxNameUtf8Bytes) break;
    units += width;
    bytes += size;
  }
  return text.substr(0, units);
}

bool isDeviceName(std::u16string_view name) {
  std::u16string_view base = name.substr(0, name.find(u'.'));
  while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
  for (const std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"}) {
    if (SameNameIgnoringCase(base, device)) return true;
  }
  if (base.size() != 4) return false;
  const std::u16string_view prefix = base.substr(0, 3);
  if (!SameNameIgnoringCase(prefix, u"COM") && !SameNameIgnoringCase(prefix, u"LPT")) return false;
  // Windows also takes the superscript digits 1, 2 and 3 as port numbers.
  const char16_t digit = base[3];
  return (digit >= u'0' && digit <= u'9') || digit == 0x00B9 || digit == 0x00B2 || digit == 0x00B3;
}

std::u16string upperAscii(std::u16string_view name) {
  std::u16string upper(name);
  for (char16_t& c : upper) c = asciiUpper(c);
  return upper;
}

}  // namespace

bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (asciiUpper(a[i]) != asciiUpper(b[i])) return false;
  }
  return true;
}

std::u16string SafeFileName(std::u16string_view text, std::u16string_view extension) {
  const std::u16string shown = withoutDropped(text);
  std::u16string name(cutToLimits(shown));
  for (char16_t& c : name) {
    if (isForbidden(c)) c = u'_';
  }
  name += extension;
  if (isDeviceName(name)) name.insert(name.begin(), u'_');
  for (auto it = name.rbegin(); it != name.rend() && (*it == u'.' || *it == u' '); ++it) *it = u'_';
  if (name.empty()) name.push_back(u'_');
  if (name.front() == u'.') name.insert(name.begin(), u'_');
  return name;
}

void UniqueFileNames::Reserve(const std::u16string& name) { given_.insert(upperAscii(name)); }

std::u16string UniqueFileNames::Take(const std::u16string& name, std::size_t extensionUnits) {
  const std::size_t split = name.size() - std::min(extensionUnits, name.size());
  std::u16string candidate = name;
  for (std::int64_t number = 2; !given_.insert(upperAscii(candidate)).second; ++number) {
    const std::string digits = " (" + std::to_string(number) + ")";
    candidate = name.substr(0, split) + std::u16string(digits.begin(), digits.end()) + name.substr(split);
  }
  return candidate;
}

}  // namespace records
