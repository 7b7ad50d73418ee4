#pragma once
// File system queries and folder creation. Narrow paths are the ANSI code
// page on Windows and UTF-8 elsewhere; wide paths are UTF-16 on both.

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

// True when the path names something that exists (the runtime's access test
// with mode 0).
bool fileExists(const std::string& path);

// Creates one folder (its parent must exist). False when it could not be
// made, also when something of that name exists already.
bool createFolder(const std::u16string& path);

}  // namespace platform
