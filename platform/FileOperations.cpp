#include "platform/FileOperations.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include "platform/TextEncoding.h"
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#endif

namespace platform {

namespace {

// Narrow paths are UTF-8 on every system (see TextEncoding.h).
std::filesystem::path fileSystemPath(const std::string& path) { return std::filesystem::u8path(path); }

bool isSeparator(char c) { return isPathSeparator(static_cast<unsigned char>(c)); }

constexpr char kSeparator = static_cast<char>(kPathSeparator);

std::size_t lastSeparator(const std::string& path) {
  for (std::size_t pos = path.size(); pos > 0; --pos) {
    if (isSeparator(path[pos - 1])) return pos - 1;
  }
  return std::string::npos;
}

}  // namespace

bool isPathSeparator(char16_t c) {
#ifdef _WIN32
  return c == u'\\' || c == u'/';
#else
  return c == u'/';
#endif
}

bool fileExists(const std::string& path) {
#ifdef _WIN32
  return ::GetFileAttributesW(wideFromNarrow(path).c_str()) != INVALID_FILE_ATTRIBUTES;
#else
  return ::access(path.c_str(), F_OK) == 0;
#endif
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (isSeparator(folder.back())) return folder + name;
  return folder + kSeparator + name;
}

std::string parentFolder(const std::string& path) {
  const std::size_t at = lastSeparator(path);
  if (at == std::string::npos) return std::string();
  if (at == 0) return path.substr(0, 1);  // "/name": the root
  return path.substr(0, at);
}

std::string fileNameOf(const std::string& path) {
  const std::size_t at = lastSeparator(path);
  return at == std::string::npos ? path : path.substr(at + 1);
}

bool createFolders(const std::string& path) {
  if (path.empty()) return false;
  if (isDirectory(path)) return true;
  // Make each missing folder from the top down; the ones that exist (or
  // cannot be made, such as a drive or share root) fail quietly, and only
  // the end result counts.
  for (std::size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos < path.size() && !isSeparator(path[pos])) continue;
    const std::string prefix = path.substr(0, pos);
    if (isDirectory(prefix)) continue;
#ifdef _WIN32
    ::CreateDirectoryW(wideFromNarrow(prefix).c_str(), nullptr);
#else
    ::mkdir(prefix.c_str(), 0777);
#endif
  }
  return isDirectory(path);
}

#ifdef _WIN32

namespace {

bool attributesOf(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
  return ::GetFileAttributesExW(wideFromNarrow(path).c_str(), GetFileExInfoStandard, &data) != 0;
}

}  // namespace

bool isRegularFile(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return attributesOf(path, data) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool isDirectory(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return attributesOf(path, data) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::uint64_t> regularFileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!attributesOf(path, data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool removeFile(const std::string& path) {
  // A process that just ended (or a scanner) may still hold the file for a
  // moment: a few short retries before giving up.
  const std::wstring widePath = wideFromNarrow(path);
  for (int attempt = 0;; ++attempt) {
    if (::DeleteFileW(widePath.c_str())) return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
    if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || attempt == 20) return false;
    ::Sleep(25);
  }
}

bool replaceFile(const std::string& from, const std::string& to) {
  return ::MoveFileExW(wideFromNarrow(from).c_str(), wideFromNarrow(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

#else

bool isRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::optional<std::uint64_t> regularFileSize(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0 || errno == ENOENT || errno == ENOTDIR; }

bool replaceFile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

#endif

bool copyFile(const std::string& from, const std::string& to) {
  std::error_code error;
  return std::filesystem::copy_file(fileSystemPath(from), fileSystemPath(to),
                                    std::filesystem::copy_options::overwrite_existing, error) &&
         !error;
}

bool removeFolderTree(const std::string& path) {
  std::error_code error;
  std::filesystem::remove_all(fileSystemPath(path), error);
  return !error;
}

}  // namespace platform
