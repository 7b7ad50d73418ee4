#include "cli/ExportCommand.h"

#include <ctime>

#include "cli/Arguments.h"
#include "cli/Evidence.h"
#include "phone/EvidenceRecord.h"
#include "platform/NewFile.h"
#include "cli/CommandResult.h"
#include "platform/FileOperations.h"
#include "platform/InterruptSignal.h"
#include "platform/TextEncoding.h"
#include "records/ExportJob.h"

namespace cli {

const char* const kExportUsage =
    "usage: zephyrloom-rescue export [--carve-only] CONTACTS_DB SMS_DB --out DIR [--evidence FILE]\n"
    "                                [--format text|csv|html|vcard|smsxml]\n"
    "\n"
    "Recovers the deleted contacts and messages of the two copies, loads the\n"
    "live ones, and writes all of them into a new folder\n"
    "DIR/ZephyrloomRescueYYYYMMDDhhmmss. DIR is created if needed.\n"
    "\n"
    "  --format text   UTF-16 text files (the default, as the program writes them):\n"
    "                  one folder per category, contacts.txt, one file per\n"
    "                  conversation and deleted.txt\n"
    "  --format csv    contacts.csv and messages.csv for a spreadsheet: UTF-8,\n"
    "                  one row per contact detail and per message, live and\n"
    "                  deleted; a cell that begins with = + - @ gets a leading '\n"
    "                  so that it shows as text and is never run as a formula\n"
    "  --format html   report.html: the record of the acquisition, every\n"
    "                  conversation as chat bubbles and the contacts, deleted\n"
    "                  ones marked; one file that opens offline in any browser\n"
    "                  and runs no script\n"
    "  --format vcard  contacts.vcf alone: the contacts as vCard 3.0, which a\n"
    "                  phone's Contacts app imports\n"
    "  --format smsxml messages.xml alone: the messages in the format Android's\n"
    "                  SMS backup-and-restore apps restore\n"
    "The text format also writes contacts.vcf and messages.xml beside its\n"
    "folders, so that every export holds what a phone can take back.\n"
    "\n"
    "The copies are first checked against the record of their acquisition\n"
    "(FILE, or zephyrloom-evidence.txt in the folder above the copies' folders\n"
    "when there is one): a copy that changed since is not read (exit status 1).\n"
    "The export gets a copy of the record.\n"
    "\n"
    "Every file is new: nothing existing is opened or followed. When a file\n"
    "cannot be written, or the export is interrupted (Ctrl+C), it stops at a\n"
    "record, leaves \"EXPORT INCOMPLETE.txt\" in the folder (or removes the\n"
    "folder when even that cannot be written) and exits with status 1.\n"
    "\n"
    "  --carve-only   without the deep pass (see 'scan --help')\n";

namespace {

// Puts a copy of the acquisition record into the export root; false, after
// saying why, when it cannot.
bool copyRecordInto(const std::u16string& root, const std::string& recordText, std::ostream& err) {
  platform::NewFile copy;
  const std::u16string path = root + u"/" + platform::utf16FromNarrow(phone::kEvidenceFileName);
  if (copy.create(path) && copy.write(recordText) && copy.close()) return true;
  err << "zephyrloom-rescue export: cannot copy the record of the acquisition into the export: " << copy.error()
      << "\n";
  return false;
}

}  // namespace

bool ExportOptionsOf(const std::optional<std::string>& format, const std::string& command,
                     records::ExportOptions& options, std::ostream& err) {
  if (!format || records::ExportFormatNamed(*format, options.format)) return true;
  UsageError(err, command, "unknown format '" + *format + "' (text, csv, html, vcard or smsxml)");
  return false;
}

int ExportScan(PhoneScan& scan, const ScanSummary& summary, const std::string& outFolder,
               const std::string& recordText, std::ostream& out, std::ostream& err, records::ExportOptions options) {
  const std::u16string folder = platform::utf16FromNarrow(outFolder);
  if (!platform::createFolders(outFolder) && !platform::fileExists(outFolder)) {
    err << "zephyrloom-rescue export: cannot create the folder " << outFolder << "\n";
    return kExitUsage;
  }
  records::PhonePipeline& pipeline = scan.pipeline();
  const records::ExportCategory contacts = pipeline.ScannedContacts();
  const records::ExportCategory messages = pipeline.ScannedMessages();
  const std::int32_t checked = pipeline.CountChecked(contacts, messages);
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
  const records::ExportStart start =
      pipeline.PrepareExport(checked, folder, static_cast<std::int64_t>(std::time(nullptr)));
  const records::ExportState& state = *pipeline.exportState();
  if (start == records::ExportStart::kNoRoot) {
    err << "zephyrloom-rescue export: cannot create the export folder " << state.failure << "\n";
    return kExitFailure;
  }
  if (start != records::ExportStart::kStarted) {
    err << "zephyrloom-rescue export: " << platform::utf8FromUtf16(records::kNoFolderText) << "\n";
    return kExitUsage;
  }
  const bool recordCopied = recordText.empty() || copyRecordInto(state.outputFolder, recordText, err);
  // The report shows the record it was checked against.
  if (!recordText.empty()) {
    std::string problem;
    if (const auto record = phone::ParseEvidence(recordText, problem)) {
      options.report.evidence = records::ReportFactsOf(*record);
    }
  }
  // PrepareExport clears the stop flag: an interrupt that came just before
  // must still stop the export.
  if (platform::InterruptGuard::interrupted()) scan.stopFlag().store(1);
  const std::int32_t handled = pipeline.RunExport(contacts, messages, options);
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
  out << "Exported " << state.contactsExported << (state.contactsExported == 1 ? " contact and " : " contacts and ")
      << state.messagesExported << (state.messagesExported == 1 ? " message" : " messages") << " in "
      << state.filesWritten << " files to " << root << "\n";
  if (state.charactersDropped > 0) {
    out << state.charactersDropped << " control characters of the phone's texts were left out of messages.xml, "
        << "which XML cannot hold\n";
  }
  return recordCopied ? kExitOk : kExitFailure;
}

int runExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ParsedArguments parsed =
      ParseArguments(args, {"--out", "--evidence", "--format"}, {"--help", "-h", "--carve-only"});
  if (parsed.flag("--help") || parsed.flag("-h")) {
    out << kExportUsage;
    return kExitOk;
  }
  if (!parsed.error.empty()) return UsageError(err, "export", parsed.error);
  records::ExportOptions options;
  if (!ExportOptionsOf(parsed.option("--format"), "export", options, err)) return kExitUsage;
  if (parsed.words.size() != 2) return UsageError(err, "export", "expected CONTACTS_DB and SMS_DB");
  const auto outFolder = parsed.option("--out");
  if (!outFolder || outFolder->empty()) return UsageError(err, "export", "missing --out DIR");
  if (!CopyIsReadable(parsed.words[0], "export", err) || !CopyIsReadable(parsed.words[1], "export", err)) {
    return kExitUsage;
  }
  WarnAboutCopyNames(parsed.words[0], parsed.words[1], "export", err);
  std::string recordText;
  if (!CheckAgainstRecord(parsed.words[0], parsed.words[1], parsed.option("--evidence"), "export", err, recordText)) {
    return kExitFailure;
  }
  PhoneScan scan(parsed.words[0], parsed.words[1], err);
  scan.setDeepRecovery(!parsed.flag("--carve-only"));
  const platform::InterruptGuard interrupts(scan.stopFlag());
  const ScanSummary summary = scan.run();
  PrintSummary(summary, out);
  return ExportScan(scan, summary, *outFolder, recordText, out, err, options);
}

}  // namespace cli
