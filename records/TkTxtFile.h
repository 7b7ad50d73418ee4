#pragma once
// The writer of every export file: appends one line per call to a UTF-16
// little-endian text file, opening and closing the file each time, so that
// no handle outlives a line and a failed line loses only itself.
//
// On disk: the byte-order mark FF FE when the file is new (or empty), then
// each line's UTF-16 code units little-endian, every line feed (the one that
// ends the line and any inside the text) written as CR LF. A CR LF pair
// already in the text is written as it is (a Windows text stream would make
// it CR CR LF, a lone CR that readers take for a line of its own); a lone CR
// is kept.

#include <string>
#include <string_view>
#include <utility>

namespace records {

class TkTxtFile {
 public:
  // `path` is the full file path; the file is not touched until a line is written.
  explicit TkTxtFile(std::u16string path) : m_path(std::move(path)) {}

  // Appends the text and a line end. True when the line was written; false
  // when the file could not be opened or the bytes not all written.
  bool AppendLine(std::u16string_view text) const;

  const std::u16string& path() const { return m_path; }

 private:
  std::u16string m_path;
};

}  // namespace records
