#pragma once
// Narrow/wide text conversions, the only place that knows the narrow
// encoding: UTF-8 on every system. The Windows programs declare UTF-8 as
// their active code page, so the system's ANSI functions read the same
// bytes; where the system ignores that declaration (Windows before 10
// version 1903) these conversions still use UTF-8, so no character is lost
// to the ANSI code page. Narrow text therefore never goes to an ANSI ("A")
// function or the C runtime's narrow file functions directly: platform/
// widens it first.

#include <string>
#include <string_view>

namespace platform {

// True when the bytes form well-formed UTF-8: no overlong forms, no encoded
// surrogates, nothing above U+10FFFF, no truncated sequence.
bool isValidUtf8(std::string_view bytes);

// Converts UTF-8 to narrow text (the same bytes). Returns the empty string
// when the input is not valid UTF-8.
std::string narrowFromUtf8(std::string_view utf8);

// Converts narrow text to UTF-8 (what SQLite expects for file names).
std::string utf8FromNarrow(std::string_view narrow);

// Widens narrow text to UTF-16. Bytes that are not UTF-8 become U+FFFD, one
// for each maximal ill-formed part, so nothing is dropped silently; the
// result is the same on every system.
std::u16string utf16FromNarrow(std::string_view narrow);

// Converts UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view utf16);

#ifdef _WIN32
// The same conversions for the system's wide functions (wchar_t is UTF-16).
std::wstring wideFromNarrow(std::string_view narrow);
std::string narrowFromWide(std::wstring_view wide);
#endif

}  // namespace platform
