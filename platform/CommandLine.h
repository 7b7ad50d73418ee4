#pragma once
// Windows command lines: one string that the started program cuts into its
// arguments by the rules of the Microsoft C runtime. Portable, so that the
// command lines of the adb helper are built and checked the same way on
// both systems; on POSIX the process runner cuts a command line with these
// rules before it starts the program.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One argument as it must appear in a command line so that the runtime
// gives it back unchanged: as it is when it holds no blank, tab, line end or
// double quote and is not empty; otherwise in double quotes, with each
// double quote and each run of backslashes before a double quote (or before
// the closing quote) escaped by backslashes.
std::string QuoteArgument(std::string_view argument);

// The program's path as the first word of a command line: always in double
// quotes, so that a folder with a blank in it cannot make the system start
// another program ("C:\Program Files\..." is otherwise "C:\Program"). The
// runtime takes the first word without backslash escapes, so a path that
// itself holds a double quote cannot be given (Windows allows none).
std::string QuoteProgramPath(std::string_view path);

// A command line from a program path and its arguments.
std::string BuildCommandLine(const std::vector<std::string>& argv);

// Cuts a command line into arguments, the inverse of BuildCommandLine:
// - the first word (the program) ends at the next blank or tab, or at the
//   closing quote when it starts with one; backslashes are plain there;
// - later words are separated by blanks and tabs outside quotes; 2n
//   backslashes before a double quote give n backslashes and the quote opens
//   or closes a quoted part, 2n+1 give n backslashes and a literal quote;
//   backslashes before anything else are plain; two double quotes inside a
//   quoted part give one literal quote.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

}  // namespace platform
