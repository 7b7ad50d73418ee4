#include "platform/StandardStreams.h"

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace platform {

bool writeStdoutBinary(std::string_view bytes) {
#ifdef _WIN32
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) return false;
  return std::fflush(stdout) == 0;
}

bool stderrIsTerminal() {
#ifdef _WIN32
  // _isatty answers yes for any character device (and, under Wine, for a file
  // that cmd opened for "2>"); only a console accepts a console mode query.
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
#else
  return ::isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace platform
