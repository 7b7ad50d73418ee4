#pragma once
// Text from outside the program (adb's output, a path from the PATH) made
// safe to print on a terminal or in a log: control characters cannot move
// the cursor, recolour the screen or retitle the window.

#include <string>
#include <string_view>

namespace adbhelper {

// `text` with every control character written as an escape: the C0
// controls and DEL as "\x1b", the C1 controls (U+0080 to U+009F, which some
// terminals obey as well) as "\u009b", a byte that is not part of valid
// UTF-8 as "\xff". Everything else passes unchanged: UTF-8 letters of any
// script, and the backslash (Windows paths are full of them, and a doubled
// one would make a path harder to copy than an ambiguous escape is harmful).
std::string PrintableText(std::string_view text);

}  // namespace adbhelper
