#pragma once
// `zephyrloom-rescue acquire --out DIR [--demo]`: copies the phone's
// contacts2.db and mmssms.db into DIR through the adb helper, as the
// program does when a phone is attached. With --demo the helper serves the
// demo phone instead of a real one.

#include <ostream>
#include <string>
#include <vector>

#include "phone/Acquisition.h"

namespace cli {

extern const char* const kAcquireUsage;

int runAcquire(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Runs the helper's four steps into `folder`; with `demo`, from the demo
// phone. Returns true when at least one copy arrived.
bool Acquire(const std::string& folder, bool demo, const std::string& helperFolder, phone::CopyPaths& copies,
             std::ostream& out, std::ostream& err);

}  // namespace cli
