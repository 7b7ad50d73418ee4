#pragma once
// The acquisition record on the command line: made by `acquire` and `demo`
// beside the copies, checked by `scan`, `export` and `demo` before they read
// the copies, and copied into every export.

#include <optional>
#include <ostream>
#include <string>

#include "phone/Acquisition.h"

namespace cli {

// Records the copies just made (the others are empty paths) in `folder`,
// with what the helper in `helperFolder` says of the phone, and prints the
// record. False, after saying why, when it cannot be written.
bool RecordAcquisition(const std::string& folder, const phone::CopyPaths& made, const std::string& helperFolder,
                       std::ostream& out, std::ostream& err);

// Checks two copies against their record: the one named by `recordPath`,
// else the one beside the copies (in the folder above their folders), if
// any. False, after saying why, when a copy is not as acquired or the
// record cannot be read: the copies must not be read then. `recordText`
// receives the record when there is one.
bool CheckAgainstRecord(const std::string& contacts, const std::string& sms,
                        const std::optional<std::string>& recordPath, const std::string& command, std::ostream& err,
                        std::string& recordText);

}  // namespace cli
