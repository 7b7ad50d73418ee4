#include "records/LineBreaking.h"

#include <algorithm>

namespace records {

namespace {

bool isBreak(char16_t unit) { return unit == u'\r' || unit == u'\n'; }
bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Units of the character that starts at `at`: 2 for a surrogate pair.
std::size_t characterUnits(std::u16string_view text, std::size_t at) {
  return isHighSurrogate(text[at]) && at + 1 < text.size() && isLowSurrogate(text[at + 1]) ? 2 : 1;
}

// Widths are measured for a window of the rest of the text; a line rarely
// holds more than a few dozen characters, so a window is measured once per
// line and grown only for very narrow characters.
constexpr std::size_t kFirstWindow = 256;

// The line that starts at `start`, when `widths` holds the prefix widths of
// `window` units from there. Returns false when the window ended before the
// line did (and the text goes on).
bool lineIn(std::u16string_view text, std::size_t start, std::size_t window, const std::vector<int>& widths,
            int available, TextLine& line) {
  line = TextLine{start, 0, false};
  std::size_t taken = 0;
  while (taken < window) {
    const std::size_t units = characterUnits(text, start + taken);
    if (taken + units > window) break;
    if (isBreak(text[start + taken])) {
      line.length = taken;
      line.endsWithBreak = true;
      return true;
    }
    const int width = widths[taken + units - 1];
    if (width > available && taken > 0) {
      line.length = taken;
      return true;
    }
    taken += units;
    if (width >= available) {
      line.length = taken;
      return true;
    }
  }
  line.length = taken;
  return start + taken == text.size();
}

}  // namespace

std::vector<TextLine> BreakLines(std::u16string_view text, int availableWidth, const PrefixWidths& measure) {
  std::vector<TextLine> lines;
  std::vector<int> widths;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t window = std::min(kFirstWindow, text.size() - start);
    TextLine line;
    for (;;) {
      widths.assign(window, 0);
      measure(text.substr(start, window), widths);
      if (lineIn(text, start, window, widths, availableWidth, line)) break;
      window = std::min(window * 2, text.size() - start);
    }
    lines.push_back(line);
    start += line.length + (line.endsWithBreak ? 1 : 0);
  }
  return lines;
}

}  // namespace records
