#pragma once
// Narrow/wide text conversions. The only place that knows which narrow
// encoding the system uses: the ANSI code page on Windows, UTF-8 elsewhere.

#include <string>
#include <string_view>

namespace platform {

// True when the bytes form well-formed UTF-8: no overlong forms, no encoded
// surrogates, nothing above U+10FFFF, no truncated sequence.
bool isValidUtf8(std::string_view bytes);

// Converts UTF-8 to the system's narrow text. Returns the empty string when
// the input is not valid UTF-8. Characters the narrow encoding lacks become
// its default character.
std::string narrowFromUtf8(std::string_view utf8);

// Converts the system's narrow text to UTF-8 (what SQLite expects for file
// names). The identity where the narrow text already is UTF-8.
std::string utf8FromNarrow(std::string_view narrow);

// Widens the system's narrow text to UTF-16: with the thread's ANSI code
// page on Windows (as MultiByteToWideChar with CP_THREAD_ACP does), from
// UTF-8 elsewhere. Bytes that are not UTF-8 become U+FFFD there, one for
// each maximal ill-formed part, so nothing is dropped silently.
std::u16string utf16FromNarrow(std::string_view narrow);

// Converts UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view utf16);

}  // namespace platform
