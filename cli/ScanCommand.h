#pragma once
// `zephyrloom-rescue scan CONTACTS_DB SMS_DB`: recovers the deleted rows and
// loads every record as the program's scan does; prints what it found.

#include <ostream>
#include <string>
#include <vector>

namespace cli {

extern const char* const kScanUsage;

int runScan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli
