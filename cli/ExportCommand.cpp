#include "cli/ExportCommand.h"

#include <ctime>

#include "cli/Arguments.h"
#include "cli/CommandResult.h"
#include "platform/FileOperations.h"
#include "platform/FileSystem.h"
#include "platform/InterruptSignal.h"
#include "platform/TextEncoding.h"
#include "records/ExportJob.h"

namespace cli {

const char* const kExportUsage =
    "usage: zephyrloom-rescue export [--carve-only] CONTACTS_DB SMS_DB --out DIR\n"
    "\n"
    "Recovers the deleted contacts and messages of the two copies, loads the\n"
    "live ones, and writes all of them to UTF-16 text files in a new folder\n"
    "DIR/ZephyrloomRescueYYYYMMDDhhmmss: one folder per category, contacts.txt,\n"
    "one file per conversation and deleted.txt. DIR is created if needed.\n"
    "\n"
    "Every file is new: nothing existing is opened or followed. When a file\n"
    "cannot be written, or the export is interrupted (Ctrl+C), it stops at a\n"
    "record, leaves \"EXPORT INCOMPLETE.txt\" in the folder (or removes the\n"
    "folder when even that cannot be written) and exits with status 1.\n"
    "\n"
    "  --carve-only   without the deep pass (see 'scan --help')\n";

namespace {

records::ExportCategory categoryOf(const std::string& caption, bool loaded) {
  records::ExportCategory category;
  category.caption = platform::utf16FromNarrow(caption);
  category.checked = true;
  category.holdsRecords = loaded;
  return category;
}

}  // namespace

int ExportScan(PhoneScan& scan, const ScanSummary& summary, const std::string& outFolder, std::ostream& out,
               std::ostream& err) {
  const std::u16string folder = platform::utf16FromNarrow(outFolder);
  if (!platform::createFolders(outFolder) && !platform::fileExists(outFolder)) {
    err << "zephyrloom-rescue export: cannot create the folder " << outFolder << "\n";
    return kExitUsage;
  }
  const records::ExportRecords records =
      records::ExportRecordsOf(scan.records(), scan.deletedContactsText(), scan.deletedMessagesText());
  const records::ExportCategory contacts = categoryOf(summary.contactsCaption, summary.contactsLoaded);
  const records::ExportCategory messages = categoryOf(summary.messageCaption, summary.messagesLoaded);
  const std::int32_t checked = records::CountCheckedRecords(records, contacts, messages);
  if (checked == 0) {
    if (summary.copyUnreadable) {
      // Not an empty phone: copies that could not be read are a failure.
      err << "export: nothing was exported: the copies could not be read (see the warnings above)\n";
      return kExitFailure;
    }
    out << "Nothing to export: no contact or message was found.\n";
    return kExitOk;
  }
  if (platform::InterruptGuard::interrupted()) {
    err << "zephyrloom-rescue export: interrupted before the export began; nothing was written\n";
    return kExitFailure;
  }
  records::ExportState state(scan.pauseGate(), scan.stopFlag());
  const records::ExportStart start =
      records::PrepareExport(state, checked, folder, static_cast<std::int64_t>(std::time(nullptr)));
  if (start == records::ExportStart::kNoRoot) {
    err << "zephyrloom-rescue export: cannot create the export folder " << state.failure << "\n";
    return kExitFailure;
  }
  if (start != records::ExportStart::kStarted) {
    err << "zephyrloom-rescue export: " << platform::utf8FromUtf16(records::kNoFolderText) << "\n";
    return kExitUsage;
  }
  // PrepareExport clears the stop flag: an interrupt that came just before
  // must still stop the export.
  if (platform::InterruptGuard::interrupted()) scan.stopFlag().store(1);
  const std::int32_t handled = records::RunExport(records, contacts, messages, state);
  const std::string root = platform::utf8FromUtf16(state.outputFolder);
  if (!state.complete) {
    err << "zephyrloom-rescue export: ";
    if (state.failure.empty()) {
      err << "interrupted after " << handled << " of " << checked << " records\n";
    } else {
      err << "cannot write " << state.failure << "\n";
    }
    switch (state.incomplete) {
      case records::IncompleteExport::kMarked:
        err << "The export in " << root << " is incomplete; it holds "
            << platform::utf8FromUtf16(records::kIncompleteMarkerName) << " saying so.\n";
        break;
      case records::IncompleteExport::kRemoved:
        err << "The incomplete export " << root << " was removed.\n";
        break;
      default:
        err << "The export in " << root << " is incomplete and could be neither marked nor removed.\n";
        break;
    }
    return kExitFailure;
  }
  out << "Exported " << handled << " records in " << state.filesWritten << " files to " << root << "\n";
  return kExitOk;
}

int runExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ParsedArguments parsed = ParseArguments(args, {"--out"}, {"--help", "-h", "--carve-only"});
  if (parsed.flag("--help") || parsed.flag("-h")) {
    out << kExportUsage;
    return kExitOk;
  }
  if (!parsed.error.empty()) return UsageError(err, "export", parsed.error);
  if (parsed.words.size() != 2) return UsageError(err, "export", "expected CONTACTS_DB and SMS_DB");
  const auto outFolder = parsed.option("--out");
  if (!outFolder || outFolder->empty()) return UsageError(err, "export", "missing --out DIR");
  if (!CopyIsReadable(parsed.words[0], "export", err) || !CopyIsReadable(parsed.words[1], "export", err)) {
    return kExitUsage;
  }
  WarnAboutCopyNames(parsed.words[0], parsed.words[1], "export", err);
  PhoneScan scan(parsed.words[0], parsed.words[1], err);
  scan.setDeepRecovery(!parsed.flag("--carve-only"));
  const platform::InterruptGuard interrupts(scan.stopFlag());
  const ScanSummary summary = scan.run();
  PrintSummary(summary, out);
  return ExportScan(scan, summary, *outFolder, out, err);
}

}  // namespace cli
