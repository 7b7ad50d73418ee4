#pragma once
// The contact card's line-breaking rule, shared by measuring and drawing a
// value. The text is cut into lines from the start, one character at a time
// (a surrogate pair counts as one character and is never split). A line
// grows while the width of the grown line stays below the available width;
// a line ends
//   - after a CR or an LF, which the line consumes (so CR LF ends one line
//     and makes an empty one of the LF);
//   - when the width reaches the available width (the character stays) or
//     passes it (the character starts the next line);
//   - at the end of the text.
// A line always holds at least one character; an empty text has no line.

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace records {

struct TextLine {
  std::size_t start = 0;   // index of the first unit in the text
  std::size_t length = 0;  // units drawn: the line without its break character
  bool endsWithBreak = false;
};

// Fills widths[i] with the width of text[0..i] (the first i + 1 units) in
// the font the text is drawn with. The card measures with the system's
// text extents; tests use fixed widths.
using PrefixWidths = std::function<void(std::u16string_view text, std::vector<int>& widths)>;

std::vector<TextLine> BreakLines(std::u16string_view text, int availableWidth, const PrefixWidths& measure);

}  // namespace records
