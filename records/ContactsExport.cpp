#include "records/ContactsExport.h"

#include <string_view>

#include "platform/FileOperations.h"
#include "records/RecordIndex.h"
#include "records/TkTxtFile.h"

namespace records {

namespace {

using phone::ContactRecord;

void writeContact(TkTxtFile& file, const ContactIndex& index, const ContactRecord& contact,
                  const std::u16string& name) {
  for (const phone::DataRowRecord* row : index.rowsOf(contact.contactKey)) {
    const DetailKind kind = index.kindOf(*row);
    if (!IsDetail(kind)) continue;
    if (kind == DetailKind::kUnknown) {
      file.AppendLine(name + u" : " + WideText(row->value));
    } else {
      file.AppendLine(name + u"(" + DetailLabel(kind, *row) + u") : " + WideText(row->value));
    }
  }
}

class ContactNames {
 public:
  std::u16string Of(const ContactRecord& contact) {
    return contact.displayNameSource == phone::kDisplayNameFromStructuredName ? WideText(contact.displayName)
                                                                              : u"No Name" + DecimalText(unnamed_++);
  }

 private:
  std::int32_t unnamed_ = 0;
};

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
  ContactNames names;
  for (const ContactRecord* contact = records.contacts; contact != nullptr; contact = contact->next) {
    // A paused export shows every record it handled.
    if (!state.pauseEvent.isSet()) file.Flush();
    if (state.WaitThenStopped()) return -1;
    if (contact->checked == 0) continue;
    writeContact(file, index, *contact, names.Of(*contact));
    if (failed()) return -1;
    ++state.contactsExported;
    state.Advance();
  }

  if (!records.recoveredContacts.empty()) {
    file.AppendLine(std::u16string(66, u'-'));
    file.AppendLine(u"Deleted:");
    for (const ContactRecord* contact : records.recoveredContacts) {
      if (contact->checked == 0) continue;
      if (state.stopFlag.load() != 0) return -1;
      writeContact(file, index, *contact, names.Of(*contact));
      if (failed()) return -1;
      ++state.contactsExported;
      state.Advance();
    }
  }
  file.Close();
  if (failed()) return -1;
  ++state.filesWritten;
  return checked;
}

}  // namespace records
