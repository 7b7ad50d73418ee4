#pragma once
// File and folder names made from record texts (a conversation's peer
// label, a category caption). Such a text comes from the phone and may hold
// anything; the name made from it is one that Windows and Linux both accept
// as a single path component and that names an ordinary file, the same
// name on both systems:
//   - the characters that change how a name is shown without being seen
//     (the bidirectional marks, embeddings, overrides and isolates U+200E,
//     U+200F, U+202A to U+202E, U+2066 to U+2069) and DEL are dropped, so
//     that "abc\u202Etxt.exe" cannot pose as another name;
//   - each character that Windows forbids in a name (\ / : * ? " < > | and
//     the control characters 0 to 31) becomes "_", so no text can reach
//     another folder or a stream;
//   - the text is cut to at most kMaxNameUnits UTF-16 units and
//     kMaxNameUtf8Bytes UTF-8 bytes (whole characters), within what both
//     systems allow for a name;
//   - a name whose part before its first dot is a Windows device (CON, PRN,
//     AUX, NUL, COM0 to COM9, LPT0 to LPT9, CONIN$, CONOUT$; any case,
//     blanks before the dot ignored) gets a leading "_": "CON.txt" would
//     write to the console and "COM1.txt" to a serial port;
//   - a leading dot becomes "_" (no hidden files);
//   - dots and blanks at the end of the whole name become "_" (Windows
//     drops them, and "." and ".." are no names of their own); an empty name
//     becomes "_".
// The extension is kept as given and is not cut.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>

namespace records {

constexpr std::size_t kMaxNameUnits = 100;
constexpr std::size_t kMaxNameUtf8Bytes = 200;

// The name of `text` followed by `extension` (for example u".txt"), made
// safe as described above.
std::u16string SafeFileName(std::u16string_view text, std::u16string_view extension = {});

// The names given out in one folder: a name already given (ignoring the
// case of ASCII letters, as Windows would) gets " (2)", " (3)", ... before
// its extension, so that two records never share one file.
class UniqueFileNames {
 public:
  // Marks a name as given without changing it.
  void Reserve(const std::u16string& name);
  // `name` (whose last `extensionUnits` units are its extension) or the
  // first free numbered form of it; the name returned is given.
  std::u16string Take(const std::u16string& name, std::size_t extensionUnits);

 private:
  std::unordered_set<std::u16string> given_;  // upper-cased ASCII letters
};

// True when the two names are equal ignoring the case of ASCII letters (the
// way Windows compares most names).
bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace records
