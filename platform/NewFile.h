#pragma once
// A file the program makes itself and writes from start to end, for the
// export: it is created only when nothing of that name exists (no earlier
// file, folder or link is ever opened or followed), kept open while it is
// written, and every failure keeps the system's reason.
//
// POSIX: open with O_CREAT | O_EXCL | O_NOFOLLOW. Windows: CreateFileW with
// CREATE_NEW and FILE_FLAG_OPEN_REPARSE_POINT, then a check that the handle
// names an ordinary file and no reparse point.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

class NewFile {
 public:
  NewFile() = default;
  ~NewFile();
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  // Creates the file at `path`. False, with the reason in error(), when
  // anything of that name exists or the file cannot be made.
  bool create(const std::u16string& path);
  // Writes every byte at the end of the file. False (reason in error())
  // when the file is not open or not every byte reached it.
  bool write(std::string_view bytes);
  // Closes the file; false when closing reported a failure (a delayed write
  // error) or the file was not open.
  bool close();

  bool isOpen() const { return handle_ != kNoHandle; }
  // The system's reason for the first failure, in UTF-8; empty when none.
  const std::string& error() const { return error_; }

 private:
  static constexpr std::intptr_t kNoHandle = -1;
  bool fail(std::string reason);

  std::intptr_t handle_ = kNoHandle;
  std::string error_;
};

// Creates one folder whose name is new (a link or file of that name is
// never followed). False, with the system's reason in `reason`, otherwise.
bool createNewFolder(const std::u16string& path, std::string& reason);

// True when the failure reason says that the name was taken.
bool isNameTakenReason(const std::string& reason);

}  // namespace platform
