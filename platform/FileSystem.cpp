#include "platform/FileSystem.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/TextEncoding.h"

namespace platform {

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
  return access(path.c_str(), F_OK) == 0;
#endif
}

bool createFolder(const std::u16string& path) {
#ifdef _WIN32
  const std::wstring widePath(path.begin(), path.end());
  return ::CreateDirectoryW(widePath.c_str(), nullptr) != 0;
#else
  return ::mkdir(utf8FromUtf16(path).c_str(), 0777) == 0;
#endif
}

}  // namespace platform
