#pragma once
// Appending to a file named by a UTF-16 path, byte for byte: the caller
// encodes the text (the export files are UTF-16LE with CR LF), so that
// Windows and Linux write the same bytes. No stream is kept open: each call
// opens, writes and closes the file.

#include <string>
#include <string_view>

namespace platform {

// Appends `bytes` to the file at `path`, creating the file when it is
// missing. When the file holds no bytes before this write, `headerWhenEmpty`
// goes first (a byte-order mark). Nothing is translated. False when the file
// cannot be opened or not every byte was written.
bool appendToFile(const std::u16string& path, std::string_view headerWhenEmpty, std::string_view bytes);

}  // namespace platform
