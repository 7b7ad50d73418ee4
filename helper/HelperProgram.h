#pragma once
// The helper program: where its phone is, and one run.

#include <ostream>
#include <string>
#include <vector>

namespace adbhelper {

struct PhoneLocation {
  enum class Kind { kNone, kAdb, kDemo };
  Kind kind = Kind::kNone;
  std::string path;  // adb's path or the demo phone's folder
};

// The phone for a helper in `helperFolder`: adb beside the helper ("adb.exe"
// on Windows, "adb" elsewhere), else a folder "demo-phone" beside it, else
// adb on the PATH.
PhoneLocation LocatePhone(const std::string& helperFolder);

// Runs the helper on its arguments (those after the program): the success
// note goes to `out`, every failure to `err` with what to do. Returns the
// exit status (HelperStatus).
int RunHelperProgram(const std::vector<std::string>& args, const std::string& helperFolder, std::ostream& out,
                     std::ostream& err);

}  // namespace adbhelper
