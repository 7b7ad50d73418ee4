#include "records/ExportJob.h"

#include <optional>
#include <vector>

#include "platform/FileOperations.h"
#include "platform/LocalTime.h"
#include "platform/NewFile.h"
#include "platform/TextEncoding.h"
#include "records/ContactsExport.h"
#include "records/CsvExport.h"
#include "records/MessagesExport.h"
#include "records/SmsBackupExport.h"
#include "records/VCardExport.h"
#include "records/TkTxtFile.h"

namespace records {

namespace {

template <typename Record>
std::int32_t countChecked(const Record* head) {
  std::int32_t count = 0;
  for (const Record* record = head; record != nullptr; record = record->next) {
    if (record->checked != 0) ++count;
  }
  return count;
}

template <typename Record>
std::int32_t countChecked(const std::vector<const Record*>& records) {
  std::int32_t count = 0;
  for (const Record* record : records) {
    if (record->checked != 0) ++count;
  }
  return count;
}

// The local time as "%Y%m%d%H%M%S": 14 digits, year to second.
std::u16string timeStampOf(const std::tm& localTime) {
  char digits[128] = {};
  const std::size_t length = std::strftime(digits, sizeof digits, "%Y%m%d%H%M%S", &localTime);
  return std::u16string(digits, digits + length);
}

std::u16string rootOf(std::u16string_view pickedFolder, std::u16string_view timeStamp) {
  std::u16string root(pickedFolder);
  if (root.empty() || !platform::isPathSeparator(root.back())) root += platform::kPathSeparator;
  root += u"ZephyrloomRescue";
  root += timeStamp;
  return root;
}

// Names tried for the root before giving up: far more than exports in one
// second.
constexpr int kMaxRootNames = 1000;

// Creates a new folder named `base`, or `base (2)`, `base (3)`, ... when the
// name is taken; the folder made, or nothing with the reason of the last
// failure in `reason`.
std::optional<std::u16string> createNewFolder(const std::u16string& base, std::string& reason) {
  for (int number = 1; number <= kMaxRootNames; ++number) {
    std::u16string candidate = base;
    if (number > 1) candidate += u" (" + DecimalText(number) + u")";
    if (platform::createNewFolder(candidate, reason)) return candidate;
    // A failure that is not a taken name (no permission, read-only disk)
    // is not helped by another name.
    if (!platform::isNameTakenReason(reason)) return std::nullopt;
  }
  return std::nullopt;
}

// Leaves the marker in the root of an export that did not end complete,
// or removes the root when the marker cannot be written there.
IncompleteExport markIncomplete(const ExportState& state) {
  {
    TkTxtFile marker(state.outputFolder + platform::kPathSeparator + kIncompleteMarkerName);
    const std::u16string reason =
        state.failure.empty() ? u"it was stopped before every record was written."
                              : u"this could not be written: " + platform::utf16FromNarrow(state.failure);
    marker.AppendLine(u"This export is incomplete: " + reason);
    marker.AppendLine(u"The files in this folder hold only some of the records that were to be exported.");
    if (marker.Close()) return IncompleteExport::kMarked;
  }
  const std::string root = platform::narrowFromUtf8(platform::utf8FromUtf16(state.outputFolder));
  return platform::removeFolderTree(root) ? IncompleteExport::kRemoved : IncompleteExport::kLeft;
}

}  // namespace

std::int32_t CountCheckedRecords(const ExportRecords& records, const ExportCategory& contacts,
                                 const ExportCategory& messages) {
  std::int32_t count = 0;
  if (contacts.holdsRecords) count += countChecked(records.contacts) + countChecked(records.recoveredContacts);
  if (messages.holdsRecords) {
    count += countChecked(records.conversations) + countChecked(records.recoveredConversations);
  }
  return count;
}

std::u16string ExportRootOf(std::u16string_view pickedFolder, const std::tm& localTime) {
  return rootOf(pickedFolder, timeStampOf(localTime));
}

ExportStart PrepareExport(ExportState& state, std::int32_t checkedRecords, std::u16string_view pickedFolder,
                          std::int64_t now) {
  state.stopFlag.store(0);
  if (pickedFolder.empty()) return ExportStart::kNoFolder;
  std::tm localTime{};
  state.outputFolder = rootOf(pickedFolder, platform::localTimeOf(now, localTime) ? timeStampOf(localTime) : u"");
  state.failure.clear();
  std::string reason;
  const auto root = createNewFolder(state.outputFolder, reason);
  if (!root) {
    state.Fail(platform::utf8FromUtf16(state.outputFolder) + ": " + reason);
    return ExportStart::kNoRoot;
  }
  state.outputFolder = *root;
  state.startTime = now;
  state.exportTotal = checkedRecords;
  state.progressCount = 0;
  state.filesWritten = 0;
  state.pauseEvent.set();
  return ExportStart::kStarted;
}

bool ExportFormatNamed(std::string_view name, ExportFormat& format) {
  if (name == "text") {
    format = ExportFormat::kText;
  } else if (name == "csv") {
    format = ExportFormat::kSpreadsheet;
  } else if (name == "html") {
    format = ExportFormat::kReport;
  } else if (name == "vcard") {
    format = ExportFormat::kVCard;
  } else if (name == "smsxml") {
    format = ExportFormat::kSmsBackup;
  } else {
    return false;
  }
  return true;
}

std::int32_t RunExport(const ExportRecords& records, const ExportCategory& contacts, const ExportCategory& messages,
                       ExportState& state, const ExportOptions& options) {
  state.complete = false;
  state.incomplete = IncompleteExport::kNotSo;
  switch (options.format) {
    case ExportFormat::kText:
      state.complete = !(contacts.holdsRecords && ExportContacts(records, contacts, state) == -1) &&
                       !(messages.holdsRecords && ExportMessages(records, messages, state) == -1) &&
                       ExportVCards(records, contacts, state, PhoneFileRole::kBesideText) != -1 &&
                       ExportSmsBackup(records, messages, state, PhoneFileRole::kBesideText) != -1;
      break;
    case ExportFormat::kVCard:
      state.complete = ExportVCards(records, contacts, state, PhoneFileRole::kAlone) != -1;
      break;
    case ExportFormat::kSmsBackup:
      state.complete = ExportSmsBackup(records, messages, state, PhoneFileRole::kAlone) != -1;
      break;
    case ExportFormat::kSpreadsheet:
      state.complete = ExportSpreadsheet(records, contacts, messages, state) != -1;
      break;
    case ExportFormat::kReport:
      state.complete = ExportReport(records, contacts, messages, options.report, state) != -1;
      break;
  }
  if (!state.complete) state.incomplete = markIncomplete(state);
  return state.progressCount;
}

std::u16string FinishedText(std::int32_t recordsExported) {
  return u"Recovering finished, " + DecimalText(recordsExported) + u" files have been recovered.";
}

}  // namespace records
