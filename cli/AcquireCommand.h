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

// What an acquisition made: the copies now in place, and the phone's
// databases that were not copied (their old copies, if any, are untouched).
struct AcquiredCopies {
  std::vector<std::string> made;
  std::vector<std::string> notCopied;
  // The record of the acquisition beside the copies could not be written.
  bool unrecorded = false;
};

// Runs the helper's steps into `folder`; with `demo`, from the demo phone.
// The pulls go to a folder of their own first, and a copy already in
// `folder` is replaced only by a complete new one: an acquisition that
// fails leaves the old copies as they were. The steps stop at the first
// failure that leaves nothing to try.
AcquiredCopies Acquire(const std::string& folder, bool demo, const std::string& helperFolder, std::ostream& out,
                       std::ostream& err);

}  // namespace cli
