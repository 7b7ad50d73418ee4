#include "records/TkTxtFile.h"

namespace records {

namespace {

constexpr std::string_view kByteOrderMark = "\xFF\xFE";

void appendUnit(std::string& out, char16_t unit) {
  out += static_cast<char>(unit & 0xFF);
  out += static_cast<char>(unit >> 8);
}

// The line's code units little-endian, each bare line feed preceded by a
// CR (a CR LF pair in the text is written as it is, never as CR CR LF), and
// the line end.
void encodeLine(std::u16string_view text, std::string& bytes) {
  char16_t previous = 0;
  for (const char16_t unit : text) {
    if (unit == u'\n' && previous != u'\r') appendUnit(bytes, u'\r');
    appendUnit(bytes, unit);
    previous = unit;
  }
  appendUnit(bytes, u'\r');
  appendUnit(bytes, u'\n');
}

}  // namespace

bool TkTxtFile::AppendLine(std::u16string_view text) {
  line_.clear();
  if (!file_.isOpen() && !file_.failed()) line_.assign(kByteOrderMark);
  encodeLine(text, line_);
  return file_.Write(line_);
}

}  // namespace records
