#pragma once
// The Recover command without its window: counting the checked records,
// making the time-stamped export root, running the two exporters as the
// export worker does, and the texts the window shows.
//
// The window's part (CMainDlg::OnRecover, ExportThreadProc,
// CMainDlg::OnExportFinished):
//   n = CountCheckedRecords(...)          0: warn kNothingCheckedText
//   pick a folder                         cancelled: return silently
//   PrepareExport(state, n, folder, now)  kNoFolder: warn kNoFolderText
//   show the exporting controls, start the worker, which calls
//   RunExport(...) and posts the export-finished message
//   finished: FinishedText(contacts + messages exported) in the success box
//
// The export root is the picked folder, a path separator ("\" on Windows,
// "/" elsewhere; none is added when the folder already ends with one),
// "ZephyrloomRescue" and the local time as "%Y%m%d%H%M%S". Two exports
// within the same second get roots of their own (see PrepareExport).

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "records/ExportState.h"
#include "records/HtmlReport.h"

namespace records {

constexpr char16_t kNothingCheckedText[] = u"Please select the file(s) you want to recover.";
constexpr char16_t kNoFolderText[] = u"Please select the directory to save the files recovered.";

// The checked records over the categories that hold records: for Contacts
// the checked contacts, live and deleted; for Message the checked
// conversations, live and those only deleted messages hold. One progress
// step each.
std::int32_t CountCheckedRecords(const ExportRecords& records, const ExportCategory& contacts,
                                 const ExportCategory& messages);

// The export root for a picked folder and a local time.
std::u16string ExportRootOf(std::u16string_view pickedFolder, const std::tm& localTime);

enum class ExportStart {
  kStarted,   // the root is made and the state is ready for RunExport
  kNoFolder,  // the picked folder is empty; nothing changed but the stop flag
  kNoRoot,    // no new root could be made there; outputFolder names the one tried, failure says why
};

// Readies the state for an export of `checkedRecords` records into a new
// root under `pickedFolder` at `now` (seconds since 1970): clears the stop
// flag, sets the output folder to the root and creates it, sets the export total to `checkedRecords` and the progress
// count to 0, and sets the pause event so that the worker does not start
// paused. When the local time cannot be had, the root has no time digits.
// The root is always a new folder: when its name is taken (by an earlier
// export in the same second, a file or a planted link) " (2)", " (3)", ...
// is added, so that no export ever writes into files it did not create.
ExportStart PrepareExport(ExportState& state, std::int32_t checkedRecords, std::u16string_view pickedFolder,
                          std::int64_t now);

// The forms an export can take. The window exports text, and beside it the
// files a phone takes back (contacts.vcf, messages.xml); the command line
// can also write a spreadsheet or a report to look at, or the phone's files
// alone.
enum class ExportFormat {
  kText,         // the UTF-16 text files: a folder per category (ContactsExport.h, MessagesExport.h),
                 // and contacts.vcf and messages.xml beside them
  kSpreadsheet,  // contacts.csv and messages.csv (CsvExport.h)
  kReport,       // report.html (HtmlReport.h)
  kVCard,        // contacts.vcf alone (VCardExport.h)
  kSmsBackup,    // messages.xml alone (SmsBackupExport.h)
};

// The format named "text", "csv", "html", "vcard" or "smsxml"; false for
// any other name.
bool ExportFormatNamed(std::string_view name, ExportFormat& format);

struct ExportOptions {
  ExportFormat format = ExportFormat::kText;
  // What the report shows beside the records (its evidence record).
  ReportOptions report;
};

// The export worker's work in the chosen format. As text: the contacts
// when that category holds records, then, unless the contacts export was
// stopped or failed, the messages when that category holds records, then
// contacts.vcf and messages.xml in the root; the other formats write the
// same records into their files in the root.
// Returns the progress count: the records handled. Sets state.complete
// when the export ended with every record written; otherwise (stopped, or
// a file or folder failed: state.failure) it writes kIncompleteMarkerName
// into the root, and when even that cannot be written removes the root,
// and says which in state.incomplete.
std::int32_t RunExport(const ExportRecords& records, const ExportCategory& contacts, const ExportCategory& messages,
                       ExportState& state, const ExportOptions& options = ExportOptions());

// The file put in the root of an export that did not end complete: it
// says why, so that a partial export never looks like a whole one.
constexpr char16_t kIncompleteMarkerName[] = u"EXPORT INCOMPLETE.txt";

// "Recovering finished, %d files have been recovered." with the records
// written: contacts and messages (not files, nor conversations).
std::u16string FinishedText(std::int32_t recordsExported);

}  // namespace records
