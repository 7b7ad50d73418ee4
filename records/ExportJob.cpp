#include "records/ExportJob.h"

#include <vector>

#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "records/ContactsExport.h"
#include "records/MessagesExport.h"

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

}  // namespace

std::int32_t CountCheckedRecords(const ExportRecords& records, const ExportCategory& contacts,
                                 const ExportCategory& messages) {
  std::int32_t count = 0;
  if (contacts.holdsRecords) {
    count += countChecked(records.contacts);
    if (records.hasDeletedContactsText) count += countChecked(records.recoveredContacts);
  }
  if (messages.holdsRecords) {
    count += countChecked(records.conversations);
    count += countChecked(records.recoveredMessages);
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
  platform::createFolder(state.outputFolder);
  state.exportTotal = checkedRecords;
  state.progressCount = 0;
  state.pauseEvent.set();
  return ExportStart::kStarted;
}

std::int32_t RunExport(const ExportRecords& records, const ExportCategory& contacts, const ExportCategory& messages,
                       ExportState& state) {
  if (contacts.holdsRecords && ExportContacts(records, contacts, state) == -1) return state.progressCount;
  if (messages.holdsRecords) ExportMessages(records, messages, state);
  return state.progressCount;
}

std::u16string FinishedText(std::int32_t progressCount) {
  return u"Recovering finished, " + DecimalText(progressCount) + u" files have been recovered.";
}

}  // namespace records
