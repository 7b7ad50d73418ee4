#include "records/ContactCardContent.h"

#include <cstring>
#include <string_view>

#include "records/ExportState.h"
#include "records/SourceText.h"
#include "records/TypeLabels.h"

namespace records {

namespace {

enum class RowKind { kOther, kPhone, kEmail, kOrganization, kUnknown };

// The kind of a data row, by its mimetype key: the first mimetype record
// with that key decides; a key that resolves to nothing adds nothing.
RowKind kindOf(std::int32_t mimeTypeKey, const phone::MimeTypeRecord* mimeTypes) {
  if (mimeTypeKey == phone::kLineValueMimeTypeKey) return RowKind::kUnknown;
  for (const phone::MimeTypeRecord* type = mimeTypes; type != nullptr; type = type->next) {
    if (type->key != mimeTypeKey) continue;
    if (type->mimeType == nullptr) return RowKind::kOther;
    if (std::strcmp(type->mimeType, phone::kMimeTypePhone) == 0) return RowKind::kPhone;
    if (std::strcmp(type->mimeType, phone::kMimeTypeEmail) == 0) return RowKind::kEmail;
    if (std::strcmp(type->mimeType, phone::kMimeTypeOrganization) == 0) return RowKind::kOrganization;
    return RowKind::kOther;
  }
  return RowKind::kOther;
}

// Company first; the job title, or else the department, next; each line
// keeps the first text it gets.
void addOrganization(ContactCardContent& card, const phone::DataRowRecord& row) {
  auto& lines = card.organization;
  if (lines[0].empty()) lines[0] = WideText(row.value);
  if (lines[1].empty()) lines[1] = WideText(row.title);
  if (lines[1].empty() && lines[2].empty()) lines[2] = WideText(row.department);
}

std::u16string phoneLabel(const phone::DataRowRecord& row) {
  const std::int32_t type = TypeCodeOf(row.typeCode);
  const std::u16string_view label = PhoneTypeLabel(type);
  return label.empty() ? PhoneTypeName(type, row.label) : std::u16string(label);
}

std::u16string emailLabel(const phone::DataRowRecord& row) {
  const std::int32_t type = TypeCodeOf(row.typeCode);
  std::u16string label(EmailTypeLabel(type));
  if (label.empty() && type == 0 && row.label != nullptr && row.label[0] != '\0') label = WideText(row.label);
  return label.empty() ? std::u16string(kEmailFallbackLabel) : label;
}

}  // namespace

ContactCardContent ContactCardOf(const phone::ContactRecord& contact, const phone::DataRowRecord* dataRows,
                                 const phone::MimeTypeRecord* mimeTypes) {
  ContactCardContent card;
  card.name = contact.displayNameSource == phone::kDisplayNameFromStructuredName ? WideText(contact.displayName)
                                                                                 : std::u16string(kNoName);
  for (const phone::DataRowRecord* row = dataRows; row != nullptr; row = row->next) {
    if (row->contactKey != contact.contactKey) continue;
    switch (kindOf(row->mimeTypeKey, mimeTypes)) {
      case RowKind::kOrganization:
        addOrganization(card, *row);
        break;
      case RowKind::kPhone:
        card.rows.push_back(ContactCardRow{phoneLabel(*row), WideText(row->value)});
        break;
      case RowKind::kEmail:
        card.rows.push_back(ContactCardRow{emailLabel(*row), WideText(row->value)});
        break;
      case RowKind::kUnknown:
        card.rows.push_back(ContactCardRow{kRecoveredRowLabel, WideText(row->value)});
        break;
      case RowKind::kOther:
        break;
    }
  }
  if (contact.deleted != 0) card.rows.push_back(ContactCardRow{kDeletedRowLabel, WideText(SourceWords(contact.sources))});
  return card;
}

}  // namespace records
