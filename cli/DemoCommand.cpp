#include "cli/DemoCommand.h"

#include "cli/AcquireCommand.h"
#include "cli/Arguments.h"
#include "cli/Evidence.h"
#include "cli/CommandResult.h"
#include "cli/ExportCommand.h"
#include "cli/PhoneScan.h"
#include "platform/FileOperations.h"
#include "platform/ProgramLocation.h"

namespace cli {

const char* const kDemoUsage =
    "usage: zephyrloom-rescue demo [--out DIR] [--carve-only] [--format text|csv|html|vcard|smsxml]\n"
    "\n"
    "Runs everything on the demo phone: copies its databases into DIR/phone,\n"
    "recovers the deleted contacts and messages, loads the live ones, and\n"
    "exports all of them into a new folder in DIR (default: ./out): as\n"
    "UTF-16 text files, or as with export --format (see export --help).\n"
    "\n"
    "  --carve-only   without the deep pass (see 'scan --help')\n";

int runDemo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ParsedArguments parsed = ParseArguments(args, {"--out", "--format"}, {"--help", "-h", "--carve-only"});
  if (parsed.flag("--help") || parsed.flag("-h")) {
    out << kDemoUsage;
    return kExitOk;
  }
  if (!parsed.error.empty()) return UsageError(err, "demo", parsed.error);
  records::ExportOptions options;
  if (!ExportOptionsOf(parsed.option("--format"), "demo", options, err)) return kExitUsage;
  if (!parsed.words.empty()) return UsageError(err, "demo", "unexpected argument '" + parsed.words[0] + "'");
  const std::string folder = parsed.option("--out").value_or("out");

  out << "== Copying the demo phone's databases\n";
  const std::string phoneFolder = platform::joinPath(folder, "phone");
  const phone::CopyPaths copies = phone::CopyPathsIn(phoneFolder);
  if (Acquire(phoneFolder, true, platform::ProgramFolder(), out, err).made.empty()) {
    err << "zephyrloom-rescue demo: the demo phone's databases could not be copied\n";
    return kExitFailure;
  }
  out << "== Recovering and loading\n";
  std::string recordText;
  if (!CheckAgainstRecord(copies.contacts, copies.sms, std::nullopt, "demo", err, recordText)) return kExitFailure;
  PhoneScan scan(copies.contacts, copies.sms, err);
  scan.setDeepRecovery(!parsed.flag("--carve-only"));
  const ScanSummary summary = scan.run();
  PrintSummary(summary, out);
  out << "== Exporting\n";
  return ExportScan(scan, summary, folder, recordText, out, err, options);
}

}  // namespace cli
