#pragma once
// The program's command-line arguments as narrow text. On Windows the C
// runtime's argv is in the ANSI code page, which loses every character it
// lacks when the system ignores the UTF-8 declaration of the manifest; the
// arguments are read from the wide command line instead.

#include <string>
#include <vector>

namespace platform {

// The arguments after the program's name. `argc` and `argv` are main's;
// on Windows they are used only when the wide command line cannot be read.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace platform
