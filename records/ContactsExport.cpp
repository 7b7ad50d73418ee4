#include "records/ContactsExport.h"

#include <string_view>

#include "platform/FileOperations.h"
#include "records/RecordIndex.h"
#include "records/TkTxtFile.h"

namespace records {

namespace {

using phone::ContactRecord;

void writeLiveContact(TkTxtFile& file, const ContactIndex& index, const ContactRecord& contact,
                      const std::u16string& name) {
  for (const phone::DataRowRecord* row : index.rowsOf(contact.contactKey)) {
    const DetailKind kind = index.kindOf(*row);
    if (kind == DetailKind::kOther) continue;
    file.AppendLine(name + u"(" + DetailLabel(kind, *row) + u") : " + WideText(row->value));
  }
}

// A recovered contact's line: the text before its first TAB, " : ", the
// rest (further TABs included). Nothing for a text without a TAB.
void writeRecoveredContact(TkTxtFile& file, const ContactRecord& contact) {
  if (contact.displayName == nullptr) return;
  const std::string_view text = contact.displayName;
  const std::size_t tab = text.find('\t');
  if (tab == std::string_view::npos) return;
  file.AppendLine(WideText(text.substr(0, tab)) + u" : " + WideText(text.substr(tab + 1)));
}

}  // namespace

std::int32_t ExportContacts(const ExportRecords& records, const ExportCategory& category, ExportState& state) {
  std::int32_t checked = 0;
  for (const ContactRecord* contact = records.contacts; contact != nullptr; contact = contact->next) {
    if (contact->checked != 0) ++checked;
  }
  for (const ContactRecord* contact : records.recoveredContacts) {
    if (contact->checked != 0) ++checked;
  }
  if (checked == 0) return 0;

  const std::u16string folder = MakeCategoryFolder(state, category, checked);
  if (folder.empty()) return -1;
  TkTxtFile file(folder + platform::kPathSeparator + kContactsFileName);
  // Each record's lines are checked once the record is written: a failure
  // ends the export at that record.
  const auto failed = [&file, &state] {
    if (!file.failed()) return false;
    state.Fail(file.failure());
    return true;
  };
  file.AppendLine(u"Contacts:");
  if (failed()) return -1;

  const ContactIndex index(records);
  std::int32_t unnamed = 0;
  for (const ContactRecord* contact = records.contacts; contact != nullptr; contact = contact->next) {
    // A paused export shows every record it handled.
    if (!state.pauseEvent.isSet()) file.Flush();
    if (state.WaitThenStopped()) return -1;
    if (contact->checked == 0) continue;
    const std::u16string name = contact->displayNameSource == phone::kDisplayNameFromStructuredName
                                    ? WideText(contact->displayName)
                                    : u"No Name" + DecimalText(unnamed++);
    writeLiveContact(file, index, *contact, name);
    if (failed()) return -1;
    state.Advance();
  }

  if (records.hasDeletedContactsText) {
    file.AppendLine(std::u16string(66, u'-'));
    file.AppendLine(u"Deleted:");
    for (const ContactRecord* contact : records.recoveredContacts) {
      if (contact->checked == 0) continue;
      if (state.stopFlag.load() != 0) return -1;
      writeRecoveredContact(file, *contact);
      if (failed()) return -1;
      state.Advance();
    }
  }
  file.Close();
  if (failed()) return -1;
  ++state.filesWritten;
  return checked;
}

}  // namespace records
