#pragma once
// Files that the program reads as evidence, and the private folders it reads
// them in: what kind of thing a path names, a fingerprint that tells whether
// a file changed, a byte-for-byte copy that never blocks on a FIFO or a
// device, and a folder only this user can enter, removed with its files.
// Narrow paths are the ANSI code page on Windows and UTF-8 elsewhere.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

enum class PathKind {
  kMissing,    // nothing of that name (or a parent cannot be entered)
  kRegular,    // a regular file (a link to one counts as one)
  kDirectory,  // a folder
  kOther,      // a FIFO, socket, device or anything else that is not a plain file
};

PathKind pathKindOf(const std::string& path);

// What a file looked like at one moment: equal fingerprints before and after
// a copy mean that nobody wrote the file meanwhile.
struct FileFingerprint {
  std::uint64_t size = 0;
  std::int64_t modifiedSeconds = 0;
  std::int64_t modifiedNanoseconds = 0;
  bool operator==(const FileFingerprint& other) const {
    return size == other.size && modifiedSeconds == other.modifiedSeconds &&
           modifiedNanoseconds == other.modifiedNanoseconds;
  }
  bool operator!=(const FileFingerprint& other) const { return !(*this == other); }
};

// The fingerprint of a regular file; nothing when there is none.
std::optional<FileFingerprint> fingerprintOf(const std::string& path);

// Copies the regular file `from` to a new file `to` (which must not exist).
// The source is opened so that a FIFO or device never blocks, and refused
// unless it is a regular file. Empty on success, else why it failed.
std::string copyRegularFile(const std::string& from, const std::string& to);

// Creates a new, empty folder that only this user can enter, under the
// system's folder for temporary files; its name starts with `prefix`.
// Nothing when none could be made.
std::optional<std::string> createPrivateFolder(const std::string& prefix);

// Removes the files directly inside `folder`, then the folder. True when the
// folder is gone afterwards.
bool removeFolderAndFiles(const std::string& folder);

}  // namespace platform
