#pragma once
// `zephyrloom-rescue export CONTACTS_DB SMS_DB --out DIR [--format F]`:
// recovers, loads and exports every record (all are checked) into a
// time-stamped folder under DIR, as the program's Recover command does, as
// UTF-16 text files (the default, what the window writes), a spreadsheet
// or a report to look at.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/PhoneScan.h"
#include "records/ExportJob.h"

namespace cli {

extern const char* const kExportUsage;

int runExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The --format option's value as the export's options; false (after a
// usage message on `err`) for a name that is no format.
bool ExportOptionsOf(const std::optional<std::string>& format, const std::string& command,
                     records::ExportOptions& options, std::ostream& err);

// Exports what a finished scan loaded into a new folder under `outFolder`,
// in the format of `options`, with the record of the acquisition when there
// is one (`recordText`: the export gets a copy, and a report shows it);
// prints the finished message. Returns the exit status.
int ExportScan(PhoneScan& scan, const ScanSummary& summary, const std::string& outFolder,
               const std::string& recordText, std::ostream& out, std::ostream& err,
               records::ExportOptions options = records::ExportOptions());

}  // namespace cli
