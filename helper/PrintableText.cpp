#include "helper/PrintableText.h"

#include <cstdint>

namespace adbhelper {

namespace {

const char kHexDigits[] = "0123456789abcdef";

void appendByteEscape(std::string& out, unsigned char byte) {
  out += "\\x";
  out += kHexDigits[byte >> 4];
  out += kHexDigits[byte & 0xF];
}

// The length of the valid UTF-8 sequence at `at` (1 to 4), or 0 when the
// bytes there are not one (overlong forms, surrogates and values past
// U+10FFFF included); `codePoint` gets its value.
std::size_t utf8SequenceAt(std::string_view text, std::size_t at, std::uint32_t& codePoint) {
  const auto byte = [&](std::size_t index) { return static_cast<unsigned char>(text[index]); };
  const unsigned char lead = byte(at);
  std::size_t length = 0;
  std::uint32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1F;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0F;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (std::size_t index = 1; index < length; ++index) {
    if ((byte(at + index) & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (byte(at + index) & 0x3F);
  }
  if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

std::string PrintableText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x20 || byte == 0x7F) {
      appendByteEscape(out, byte);
      ++at;
    } else if (byte < 0x80) {
      out += static_cast<char>(byte);
      ++at;
    } else {
      std::uint32_t codePoint = 0;
      const std::size_t length = utf8SequenceAt(text, at, codePoint);
      if (length == 0) {
        appendByteEscape(out, byte);
        ++at;
      } else if (codePoint <= 0x9F) {
        out += "\\u00";
        out += kHexDigits[codePoint >> 4];
        out += kHexDigits[codePoint & 0xF];
        at += length;
      } else {
        out.append(text.substr(at, length));
        at += length;
      }
    }
  }
  return out;
}

}  // namespace adbhelper
