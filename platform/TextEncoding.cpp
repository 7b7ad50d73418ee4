#include "platform/TextEncoding.h"

#include <cstdint>

namespace platform {

namespace {

// Length of the sequence announced by a lead byte, 0 for a byte that cannot
// start one.
int sequenceLength(std::uint8_t lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Allowed range of the second byte for a lead byte (Unicode table 3-7):
// excludes overlong forms, surrogates and code points past U+10FFFF.
bool secondByteFits(std::uint8_t lead, std::uint8_t second) {
  switch (lead) {
    case 0xE0: return second >= 0xA0 && second <= 0xBF;
    case 0xED: return second >= 0x80 && second <= 0x9F;
    case 0xF0: return second >= 0x90 && second <= 0xBF;
    case 0xF4: return second >= 0x80 && second <= 0x8F;
    default: return second >= 0x80 && second <= 0xBF;
  }
}

bool isContinuation(std::uint8_t byte) { return byte >= 0x80 && byte <= 0xBF; }

constexpr char16_t kReplacement = 0xFFFD;

void appendUtf16(std::u16string& out, std::uint32_t codePoint) {
  if (codePoint < 0x10000) {
    out += static_cast<char16_t>(codePoint);
  } else {
    codePoint -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
    out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
  }
}

void appendUtf8(std::string& out, std::uint32_t codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

// UTF-8 to UTF-16; each maximal ill-formed part becomes one U+FFFD (the
// Unicode practice that decoders such as ICU follow).
std::u16string utf16FromUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  std::size_t pos = 0;
  const std::size_t size = bytes.size();
  while (pos < size) {
    const auto lead = static_cast<std::uint8_t>(bytes[pos]);
    const int length = sequenceLength(lead);
    if (length == 0) {
      out += kReplacement;
      ++pos;
      continue;
    }
    if (length == 1) {
      out += static_cast<char16_t>(lead);
      ++pos;
      continue;
    }
    // Take the bytes that still fit the sequence; stop at the first that does not.
    std::size_t taken = 1;
    while (taken < static_cast<std::size_t>(length) && pos + taken < size) {
      const auto next = static_cast<std::uint8_t>(bytes[pos + taken]);
      if (!(taken == 1 ? secondByteFits(lead, next) : isContinuation(next))) break;
      ++taken;
    }
    if (taken < static_cast<std::size_t>(length)) {
      out += kReplacement;
      pos += taken;
      continue;
    }
    std::uint32_t codePoint = lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < taken; ++k) {
      codePoint = (codePoint << 6) | (static_cast<std::uint8_t>(bytes[pos + k]) & 0x3Fu);
    }
    appendUtf16(out, codePoint);
    pos += taken;
  }
  return out;
}

}  // namespace

std::string utf8FromUtf16(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t pos = 0; pos < utf16.size(); ++pos) {
    const std::uint32_t unit = utf16[pos];
    if (unit >= 0xD800 && unit <= 0xDBFF && pos + 1 < utf16.size() && utf16[pos + 1] >= 0xDC00 &&
        utf16[pos + 1] <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (static_cast<std::uint32_t>(utf16[pos + 1]) - 0xDC00));
      ++pos;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      appendUtf8(out, kReplacement);
    } else {
      appendUtf8(out, unit);
    }
  }
  return out;
}

bool isValidUtf8(std::string_view bytes) {
  std::size_t pos = 0;
  const std::size_t size = bytes.size();
  while (pos < size) {
    const auto lead = static_cast<std::uint8_t>(bytes[pos]);
    const int length = sequenceLength(lead);
    if (length == 0 || size - pos < static_cast<std::size_t>(length)) return false;
    if (length > 1) {
      if (!secondByteFits(lead, static_cast<std::uint8_t>(bytes[pos + 1]))) return false;
      for (int k = 2; k < length; ++k) {
        if (!isContinuation(static_cast<std::uint8_t>(bytes[pos + k]))) return false;
      }
    }
    pos += static_cast<std::size_t>(length);
  }
  return true;
}

// Narrow text is UTF-8 on every system. On Windows the programs declare UTF-8
// as their active code page, so the system's own "A" functions agree; where
// the system ignores that declaration (before Windows 10 version 1903) the
// ANSI code page cannot carry every character, so nothing here depends on
// it: these conversions use UTF-8 explicitly, and every file and process
// function of platform/ widens its narrow arguments through them.

std::string utf8FromNarrow(std::string_view narrow) { return std::string(narrow); }

std::u16string utf16FromNarrow(std::string_view narrow) { return utf16FromUtf8(narrow); }

std::string narrowFromUtf8(std::string_view utf8) {
  if (!isValidUtf8(utf8)) return std::string();
  return std::string(utf8);
}

#ifdef _WIN32

std::wstring wideFromNarrow(std::string_view narrow) {
  const std::u16string utf16 = utf16FromNarrow(narrow);
  return std::wstring(utf16.begin(), utf16.end());
}

std::string narrowFromWide(std::wstring_view wide) {
  return utf8FromUtf16(std::u16string(wide.begin(), wide.end()));
}

#endif

}  // namespace platform
