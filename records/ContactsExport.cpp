#include "records/ContactsExport.h"

#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/FileSystem.h"
#include "records/TkTxtFile.h"
#include "records/TypeLabels.h"

namespace records {

namespace {

using phone::ContactRecord;
using phone::DataRowRecord;
using phone::MimeTypeRecord;

enum class RowKind { kOther, kOrganization, kPhone, kEmail };

RowKind kindOf(const char* mimeType) {
  if (std::strcmp(mimeType, phone::kMimeTypeOrganization) == 0) return RowKind::kOrganization;
  if (std::strcmp(mimeType, phone::kMimeTypePhone) == 0) return RowKind::kPhone;
  if (std::strcmp(mimeType, phone::kMimeTypeEmail) == 0) return RowKind::kEmail;
  return RowKind::kOther;
}

// The data rows of each contact key in list order, and the kind of each
// mimetype key (the first record with that key decides).
struct ContactIndex {
  std::unordered_map<std::int32_t, std::vector<const DataRowRecord*>> rowsByContact;
  std::unordered_map<std::int32_t, RowKind> kindByMimeType;

  explicit ContactIndex(const ExportRecords& records) {
    for (const MimeTypeRecord* type = records.mimeTypes; type != nullptr; type = type->next) {
      // A key whose text is absent resolves to nothing: its rows are skipped.
      kindByMimeType.emplace(type->key, type->mimeType == nullptr ? RowKind::kOther : kindOf(type->mimeType));
    }
    for (const DataRowRecord* row = records.dataRows; row != nullptr; row = row->next) {
      rowsByContact[row->contactKey].push_back(row);
    }
  }
};

std::u16string labelOf(RowKind kind, const DataRowRecord& row) {
  switch (kind) {
    case RowKind::kOrganization:
      return u"Company";
    case RowKind::kPhone:
      return std::u16string(PhoneTypeLabel(TypeCodeOf(row.typeCode)));
    case RowKind::kEmail:
      return std::u16string(EmailTypeLabel(TypeCodeOf(row.typeCode)));
    case RowKind::kOther:
      break;
  }
  return std::u16string();
}

void writeLiveContact(TkTxtFile& file, const ContactIndex& index, const ContactRecord& contact,
                      const std::u16string& name) {
  const auto rows = index.rowsByContact.find(contact.contactKey);
  if (rows == index.rowsByContact.end()) return;
  for (const DataRowRecord* row : rows->second) {
    const auto kind = index.kindByMimeType.find(row->mimeTypeKey);
    if (kind == index.kindByMimeType.end() || kind->second == RowKind::kOther) continue;
    file.AppendLine(name + u"(" + labelOf(kind->second, *row) + u") : " + WideText(row->value));
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
