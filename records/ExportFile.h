#pragma once
// The byte side of every export file: a file the export creates itself
// (only when nothing of its name exists: an earlier file, a folder or a
// link planted there is never opened or followed), created with its first
// bytes, kept open until Close, and written in large pieces. The text
// writers (TkTxtFile for the UTF-16 text files, the spreadsheet and the
// report for UTF-8) encode; this writes.

#include <string>
#include <string_view>
#include <utility>

#include "platform/NewFile.h"

namespace records {

class ExportFile {
 public:
  // `path` is the full file path; the file is not touched until bytes are written.
  explicit ExportFile(std::u16string path) : path_(std::move(path)) {}
  // Closes the file, writing what is gathered (a failure then is lost: call
  // Close to see it).
  ~ExportFile() { Close(); }
  ExportFile(const ExportFile&) = delete;
  ExportFile& operator=(const ExportFile&) = delete;

  // Appends the bytes, creating the file first when they are its first.
  // False once the file failed: it could not be created (its name is
  // taken, the folder is missing or read-only) or an earlier piece could
  // not be written; nothing more is written then.
  bool Write(std::string_view bytes);
  // Writes what is gathered now (the file stays open). False once the file failed.
  bool Flush() { return failed_ ? false : (pending_.empty() || flush()); }
  // Writes what is gathered and closes the file. True when every byte so
  // far reached the file (also when none was written and no file made).
  bool Close();

  // True from the first Write that made the file until Close.
  bool isOpen() const { return file_.isOpen(); }
  bool failed() const { return failed_; }
  // "<path>: <the system's reason>" for the first failure (UTF-8).
  std::string failure() const;

  const std::u16string& path() const { return path_; }

 private:
  bool flush();

  std::u16string path_;
  platform::NewFile file_;
  std::string pending_;
  bool failed_ = false;
};

}  // namespace records
