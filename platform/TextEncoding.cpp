#include "platform/TextEncoding.h"

#ifdef _WIN32
#include <windows.h>
#endif

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

}  // namespace

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

#ifdef _WIN32

std::string narrowFromUtf8(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > 0x7FFFFFFF) return std::string();
  const int inLength = static_cast<int>(utf8.size());
  const int wideLength =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), inLength, nullptr, 0);
  if (wideLength <= 0) return std::string();
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, wide.data(), wideLength);
  const int narrowLength =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (narrowLength <= 0) return std::string();
  std::string narrow(static_cast<std::size_t>(narrowLength), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, narrow.data(), narrowLength, nullptr,
                      nullptr);
  return narrow;
}

std::string utf8FromNarrow(std::string_view narrow) {
  if (narrow.empty() || narrow.size() > 0x7FFFFFFF) return std::string();
  const int inLength = static_cast<int>(narrow.size());
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, narrow.data(), inLength, nullptr, 0);
  if (wideLength <= 0) return std::string();
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_ACP, 0, narrow.data(), inLength, wide.data(), wideLength);
  const int utf8Length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (utf8Length <= 0) return std::string();
  std::string utf8(static_cast<std::size_t>(utf8Length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr,
                      nullptr);
  return utf8;
}

#else

std::string utf8FromNarrow(std::string_view narrow) { return std::string(narrow); }

std::string narrowFromUtf8(std::string_view utf8) {
  if (!isValidUtf8(utf8)) return std::string();
  return std::string(utf8);
}

#endif

}  // namespace platform
