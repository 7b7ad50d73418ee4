#include "records/RecordIndex.h"

#include <cstring>

#include "records/TypeLabels.h"

namespace records {

DetailKind DetailKindOf(const char* mimeType) {
  if (mimeType == nullptr) return DetailKind::kOther;
  if (std::strcmp(mimeType, phone::kMimeTypeOrganization) == 0) return DetailKind::kOrganization;
  if (std::strcmp(mimeType, phone::kMimeTypePhone) == 0) return DetailKind::kPhone;
  if (std::strcmp(mimeType, phone::kMimeTypeEmail) == 0) return DetailKind::kEmail;
  if (std::strcmp(mimeType, phone::kMimeTypeName) == 0) return DetailKind::kName;
  return DetailKind::kOther;
}

std::u16string DetailLabel(DetailKind kind, const phone::DataRowRecord& row) {
  switch (kind) {
    case DetailKind::kOrganization:
      return u"Company";
    case DetailKind::kPhone:
      return std::u16string(PhoneTypeLabel(TypeCodeOf(row.typeCode)));
    case DetailKind::kEmail:
      return std::u16string(EmailTypeLabel(TypeCodeOf(row.typeCode)));
    case DetailKind::kOther:
    case DetailKind::kUnknown:
    case DetailKind::kName:
      break;
  }
  return std::u16string();
}

std::u16string DetailTypeName(DetailKind kind, const phone::DataRowRecord& row) {
  // A row that kept no type has none, custom or other.
  if ((kind == DetailKind::kPhone || kind == DetailKind::kEmail) && row.typeCode == nullptr) return std::u16string();
  switch (kind) {
    case DetailKind::kPhone:
      return PhoneTypeName(TypeCodeOf(row.typeCode), row.label);
    case DetailKind::kEmail:
      return EmailTypeName(TypeCodeOf(row.typeCode), row.label);
    default:
      return DetailLabel(kind, row);
  }
}

ContactIndex::ContactIndex(const ExportRecords& records) {
  for (const phone::MimeTypeRecord* type = records.mimeTypes; type != nullptr; type = type->next) {
    kindByMimeType.emplace(type->key, DetailKindOf(type->mimeType));
  }
  for (const phone::DataRowRecord* row = records.dataRows; row != nullptr; row = row->next) {
    rowsByContact[row->contactKey].push_back(row);
  }
  for (const phone::DataRowRecord* row = records.recoveredDataRows; row != nullptr; row = row->next) {
    rowsByContact[row->contactKey].push_back(row);
  }
}

const std::vector<const phone::DataRowRecord*>& ContactIndex::rowsOf(std::int32_t contactKey) const {
  static const std::vector<const phone::DataRowRecord*> kNone;
  const auto rows = rowsByContact.find(contactKey);
  return rows == rowsByContact.end() ? kNone : rows->second;
}

DetailKind ContactIndex::kindOf(const phone::DataRowRecord& row) const {
  if (row.mimeTypeKey == phone::kLineValueMimeTypeKey) return DetailKind::kUnknown;
  const auto kind = kindByMimeType.find(row.mimeTypeKey);
  return kind == kindByMimeType.end() ? DetailKind::kOther : kind->second;
}

MessagesByThread MessagesByThreadOf(const phone::MessageRecord* messages) {
  MessagesByThread byThread;
  for (const phone::MessageRecord* message = messages; message != nullptr; message = message->next) {
    byThread[message->threadKey].push_back(message);
  }
  return byThread;
}

ContactsByPerson ContactsByPersonOf(const phone::ContactRecord* contacts) {
  ContactsByPerson byPerson;
  for (const phone::ContactRecord* contact = contacts; contact != nullptr; contact = contact->next) {
    if (contact->personKey != 0) byPerson.emplace(contact->personKey, contact);
  }
  return byPerson;
}

const phone::ContactRecord* ContactOf(const phone::MessageRecord& message, const ContactsByPerson& byPerson) {
  if (message.personKey == 0) return nullptr;
  const auto contact = byPerson.find(message.personKey);
  return contact == byPerson.end() ? nullptr : contact->second;
}

}  // namespace records
