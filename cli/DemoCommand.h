#pragma once
// `zephyrloom-rescue demo [--out DIR]`: the whole road on the demo phone:
// acquire its two databases, recover and load every record, and export them
// into DIR (default ./out).

#include <ostream>
#include <string>
#include <vector>

namespace cli {

extern const char* const kDemoUsage;

int runDemo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli
