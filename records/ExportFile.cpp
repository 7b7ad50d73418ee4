#include "records/ExportFile.h"

#include "platform/TextEncoding.h"

namespace records {

namespace {

// Bytes are gathered up to this many before they are written.
constexpr std::size_t kPieceBytes = 64 * 1024;

}  // namespace

bool ExportFile::Write(std::string_view bytes) {
  if (failed_) return false;
  if (!file_.isOpen() && !file_.create(path_)) {
    failed_ = true;
    return false;
  }
  pending_.append(bytes);
  return pending_.size() < kPieceBytes || flush();
}

bool ExportFile::flush() {
  if (!file_.write(pending_)) failed_ = true;
  pending_.clear();
  return !failed_;
}

bool ExportFile::Close() {
  if (!file_.isOpen()) return !failed_;
  if (!failed_) flush();
  if (!file_.close()) failed_ = true;
  return !failed_;
}

std::string ExportFile::failure() const {
  if (!failed_) return std::string();
  return platform::utf8FromUtf16(path_) + ": " + file_.error();
}

}  // namespace records
