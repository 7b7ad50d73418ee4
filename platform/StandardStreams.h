#pragma once
// Standard output that passes bytes through unchanged (no "\n" to "\r\n"
// translation on Windows), and what standard error is connected to.

#include <string_view>

namespace platform {

// Writes bytes to standard output as they are; false on a write error.
bool writeStdoutBinary(std::string_view bytes);

// Whether standard error is a terminal (a console on Windows), where a line
// can be redrawn in place.
bool stderrIsTerminal();

}  // namespace platform
