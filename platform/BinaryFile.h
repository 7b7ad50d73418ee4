#pragma once
// A C stream on a file named by a narrow path, opened in binary mode: on
// Windows through the wide name, so that a name outside the ANSI code page
// opens the file it names. Closed when the owner goes.

#include <cstdio>
#include <memory>
#include <string>

namespace platform {

struct CloseBinaryFile {
  void operator()(std::FILE* file) const;
};
using BinaryFile = std::unique_ptr<std::FILE, CloseBinaryFile>;

enum class BinaryFileMode {
  kRead,     // an existing file, from its start
  kReplace,  // created, or emptied when it exists
};

// Null when the file cannot be opened.
BinaryFile openBinaryFile(const std::string& path, BinaryFileMode mode);

}  // namespace platform
