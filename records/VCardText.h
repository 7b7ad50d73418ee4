#pragma once
// The text of vCard 3.0 (RFC 2426) as its readers expect it: values
// escaped, long lines folded (RFC 2425).
//
//   escaped  "\" as "\\", "," as "\,", ";" as "\;", a line break (CR LF, LF
//            or CR) as "\n"
//   folded   no line longer than 75 octets: a longer one goes on in lines
//            that begin with one blank, never inside a UTF-8 character;
//            every line ends with CR LF

#include <string>
#include <string_view>

namespace records {

std::string VCardEscaped(std::string_view utf8);

// One content line ("NAME;PARAM=...:value", escaped already) folded, with
// its CR LF.
std::string VCardFolded(std::string_view line);

}  // namespace records
