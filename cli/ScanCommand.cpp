#include "cli/ScanCommand.h"

#include "cli/Arguments.h"
#include "cli/Evidence.h"
#include "cli/CommandResult.h"
#include "cli/PhoneScan.h"

namespace cli {

const char* const kScanUsage =
    "usage: zephyrloom-rescue scan CONTACTS_DB SMS_DB [--evidence FILE]\n"
    "\n"
    "Recovers the deleted contacts and messages of the two copies, loads the\n"
    "live ones, and prints how many of each were found. A progress bar runs on\n"
    "standard error. The copies are opened read-only, after a check against\n"
    "the record of their acquisition (FILE, or zephyrloom-evidence.txt in the\n"
    "folder above the copies' folders when there is one): a copy that changed\n"
    "since is not read (exit status 1).\n";

int runScan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ParsedArguments parsed = ParseArguments(args, {"--evidence"}, {"--help", "-h"});
  if (parsed.flag("--help") || parsed.flag("-h")) {
    out << kScanUsage;
    return kExitOk;
  }
  if (!parsed.error.empty()) return UsageError(err, "scan", parsed.error);
  if (parsed.words.size() != 2) return UsageError(err, "scan", "expected CONTACTS_DB and SMS_DB");
  if (!CopyIsReadable(parsed.words[0], "scan", err) || !CopyIsReadable(parsed.words[1], "scan", err)) {
    return kExitUsage;
  }
  WarnAboutCopyNames(parsed.words[0], parsed.words[1], "scan", err);
  std::string recordText;
  if (!CheckAgainstRecord(parsed.words[0], parsed.words[1], parsed.option("--evidence"), "scan", err, recordText)) {
    return kExitFailure;
  }
  PhoneScan scan(parsed.words[0], parsed.words[1], err);
  PrintSummary(scan.run(), out);
  return kExitOk;
}

}  // namespace cli
