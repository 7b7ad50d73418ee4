#include "records/ExportFile.h"

#include "platform/TextEncoding.h"

namespace records {

namespace {

// Bytes are gathered up to this many before they are written.
constexpr std::size_t kPieceBytes = 64 * 1024;

}  // namespace

bool ExportFile::Write(std::string_view bytes) {
  if (m_failed) return false;
  if (!m_file.isOpen() && !m_file.create(m_path)) {
    m_failed = true;
    return false;
  }
  m_pending.append(bytes);
  return m_pending.size() < kPieceBytes || flush();
}

bool ExportFile::flush() {
  if (!m_file.write(m_pending)) m_failed = true;
  m_pending.clear();
  return !m_failed;
}

bool ExportFile::Close() {
  if (!m_file.isOpen()) return !m_failed;
  if (!m_failed) flush();
  if (!m_file.close()) m_failed = true;
  return !m_failed;
}

std::string ExportFile::failure() const {
  if (!m_failed) return std::string();
  return platform::utf8FromUtf16(m_path) + ": " + m_file.error();
}

}  // namespace records
