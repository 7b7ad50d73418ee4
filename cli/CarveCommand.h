#pragma once
// `zephyrloom-rescue carve`: one recovery session, its recovered-record text
// on standard output.

#include <ostream>
#include <string>
#include <vector>

namespace cli {

extern const char* const kCarveUsage;

// Runs the command on its arguments (those after "carve"); messages go to
// `err`. Returns the exit status.
int runCarve(const std::vector<std::string>& args, std::ostream& err);

}  // namespace cli
