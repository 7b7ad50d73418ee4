#pragma once
// `zephyrloom-rescue export CONTACTS_DB SMS_DB --out DIR`: recovers, loads
// and exports every record (all are checked) into a time-stamped folder
// under DIR, as the program's Recover command does.

#include <ostream>
#include <string>
#include <vector>

#include "cli/PhoneScan.h"

namespace cli {

extern const char* const kExportUsage;

int runExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Exports what a finished scan loaded into a new folder under `outFolder`,
// with the record of the acquisition when there is one (`recordText`);
// prints the finished message. Returns the exit status.
int ExportScan(PhoneScan& scan, const ScanSummary& summary, const std::string& outFolder,
               const std::string& recordText, std::ostream& out, std::ostream& err);

}  // namespace cli
