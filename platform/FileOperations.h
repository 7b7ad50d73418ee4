#pragma once
// The file system: paths, queries and operations on files named by narrow
// paths (UTF-8, see TextEncoding.h): joining paths, making folders,
// deleting, sizing, copying and replacing files. Files that must be new
// (the exports) are made by NewFile.h instead.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The separator that joins a folder and a name in a path.
#ifdef _WIN32
constexpr char16_t kPathSeparator = u'\\';
#else
constexpr char16_t kPathSeparator = u'/';
#endif

// True for a character that ends a folder path on this system ('\\' and '/'
// on Windows, '/' elsewhere).
bool isPathSeparator(char16_t c);

// True when the path names something that exists.
bool fileExists(const std::string& path);

// `folder` and `name` joined by this system's separator ('\\' on Windows,
// '/' elsewhere); no separator is added when `folder` already ends with one
// or is empty.
std::string joinPath(const std::string& folder, const std::string& name);

// The path without its last component ("C:\a\b.db" gives "C:\a"); empty
// when the path has no separator.
std::string parentFolder(const std::string& path);

// The last component of a path.
std::string fileNameOf(const std::string& path);

bool isRegularFile(const std::string& path);
bool isDirectory(const std::string& path);

// The size of a regular file; nothing when it is missing or not a file.
std::optional<std::uint64_t> regularFileSize(const std::string& path);

// Creates the folder and every missing folder above it. True when the
// folder exists afterwards.
bool createFolders(const std::string& path);

// Deletes a file. True when no file of that name is left (also when there
// was none).
bool removeFile(const std::string& path);

// Renames `from` to `to`, replacing a file already at `to`. False when the
// rename failed; `from` is then left as it was.
bool replaceFile(const std::string& from, const std::string& to);

// Copies the file `from` to `to`, replacing a file already at `to`. False
// when `from` cannot be read or `to` cannot be written.
bool copyFile(const std::string& from, const std::string& to);

// Deletes a folder with everything in it. True when nothing of that name is
// left (also when there was nothing).
bool removeFolderTree(const std::string& path);

}  // namespace platform
