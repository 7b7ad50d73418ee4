#pragma once
// File system queries on narrow paths (ANSI code page on Windows, UTF-8 elsewhere).

#include <string>

namespace platform {

// True when the path names something that exists (the runtime's access test
// with mode 0).
bool fileExists(const std::string& path);

}  // namespace platform
