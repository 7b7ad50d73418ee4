#pragma once
// The writer of every export file: a UTF-16 little-endian text file that
// the export creates itself and writes line by line. The file is created
// with the first line and only when nothing of its name exists (an earlier
// file, a folder or a link planted there is never opened or followed); it
// stays open until Close, and lines are gathered in memory and written in
// large pieces (ExportFile).
//
// On disk: the byte-order mark FF FE, then each line's UTF-16 code units
// little-endian, every line feed (the one that ends the line and any inside
// the text) written as CR LF. A CR LF pair already in the text is written
// as it is (a Windows text stream would make it CR CR LF, a lone CR that
// readers take for a line of its own); a lone CR is kept.

#include <string>
#include <string_view>
#include <utility>

#include "records/ExportFile.h"

namespace records {

class TkTxtFile {
 public:
  // `path` is the full file path; the file is not touched until a line is written.
  explicit TkTxtFile(std::u16string path) : file_(std::move(path)) {}
  // The file closes as its ExportFile does, writing what is gathered (a
  // failure then is lost: call Close to see it).
  TkTxtFile(const TkTxtFile&) = delete;
  TkTxtFile& operator=(const TkTxtFile&) = delete;

  // Appends the text and a line end. False once the file failed: it could
  // not be created (its name is taken, the folder is missing or read-only)
  // or an earlier piece could not be written; nothing more is written then.
  bool AppendLine(std::u16string_view text);
  // Writes what is gathered now (the file stays open). False once the file
  // failed.
  bool Flush() { return file_.Flush(); }
  // Writes what is gathered and closes the file. True when every line so
  // far reached the file (also when none was written and no file made).
  bool Close() { return file_.Close(); }

  bool failed() const { return file_.failed(); }
  // "<path>: <the system's reason>" for the first failure (UTF-8).
  std::string failure() const { return file_.failure(); }

  const std::u16string& path() const { return file_.path(); }

 private:
  ExportFile file_;
  std::string line_;  // the bytes of the line being written, kept for its memory
};

}  // namespace records
