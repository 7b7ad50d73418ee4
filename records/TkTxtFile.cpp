#include "records/TkTxtFile.h"

#include "platform/TextEncoding.h"

namespace records {

namespace {

constexpr std::string_view kByteOrderMark = "\xFF\xFE";

// Lines are gathered up to this many bytes before they are written.
constexpr std::size_t kPieceBytes = 64 * 1024;

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
  if (m_failed) return false;
  if (!m_file.isOpen()) {
    if (!m_file.create(m_path)) {
      m_failed = true;
      return false;
    }
    m_pending.assign(kByteOrderMark);
  }
  encodeLine(text, m_pending);
  return m_pending.size() < kPieceBytes || flush();
}

bool TkTxtFile::flush() {
  if (!m_file.write(m_pending)) m_failed = true;
  m_pending.clear();
  return !m_failed;
}

bool TkTxtFile::Close() {
  if (!m_file.isOpen()) return !m_failed;
  if (!m_failed) flush();
  if (!m_file.close()) m_failed = true;
  return !m_failed;
}

std::string TkTxtFile::failure() const {
  if (!m_failed) return std::string();
  return platform::utf8FromUtf16(m_path) + ": " + m_file.error();
}

}  // namespace records
