#include "platform/ProgramArguments.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/CommandLine.h"
#include "platform/TextEncoding.h"
#endif

namespace platform {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
#ifdef _WIN32
  // Cut by the C runtime's own rules, which BuildCommandLine follows.
  if (const wchar_t* line = ::GetCommandLineW()) {
    std::vector<std::string> words = SplitCommandLine(narrowFromWide(line));
    if (!words.empty()) words.erase(words.begin());
    return words;
  }
#endif
  if (argc < 1) return {};
  return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace platform
