#pragma once
// Standard output that passes bytes through unchanged (no "\n" to "\r\n"
// translation on Windows).

#include <string_view>

namespace platform {

// Writes bytes to standard output as they are; false on a write error.
bool writeStdoutBinary(std::string_view bytes);

}  // namespace platform
