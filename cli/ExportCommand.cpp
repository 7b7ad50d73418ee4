#include "cli/ExportCommand.h"

#include <ctime>

#include "cli/Arguments.h"
#include "cli/CommandResult.h"
#include "platform/FileOperations.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "records/ExportJob.h"

namespace cli {

const char* const kExportUsage =
    "usage: zephyrloom-rescue export CONTACTS_DB SMS_DB --out DIR\n"
    "\n"
    "Recovers the deleted contacts and messages of the two copies, loads the\n"
    "live ones, and writes all of them to UTF-16 text files in a new folder\n"
    "DIR/ZephyrloomRescueYYYYMMDDhhmmss: one folder per category, contacts.txt,\n"
    "one file per conversation and deleted.txt. DIR is created if needed.\n";

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
    out << "Nothing to export: no contact or message was found.\n";
    return kExitOk;
  }
  records::ExportState state(scan.pauseGate(), scan.stopFlag());
  const records::ExportStart start =
      records::PrepareExport(state, checked, folder, static_cast<std::int64_t>(std::time(nullptr)));
  if (start == records::ExportStart::kNoRoot) {
    err << "zephyrloom-rescue export: cannot create the export folder " << platform::utf8FromUtf16(state.outputFolder)
        << "\n";
    return kExitFailure;
  }
  if (start != records::ExportStart::kStarted) {
    err << "zephyrloom-rescue export: " << platform::utf8FromUtf16(records::kNoFolderText) << "\n";
    return kExitUsage;
  }
  const std::int32_t handled = records::RunExport(records, contacts, messages, state);
  out << platform::utf8FromUtf16(records::FinishedText(handled)) << "\n"
      << "Files written to " << platform::utf8FromUtf16(state.outputFolder) << "\n";
  return kExitOk;
}

int runExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ParsedArguments parsed = ParseArguments(args, {"--out"}, {"--help", "-h"});
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
  const ScanSummary summary = scan.run();
  PrintSummary(summary, out);
  return ExportScan(scan, summary, *outFolder, out, err);
}

}  // namespace cli
