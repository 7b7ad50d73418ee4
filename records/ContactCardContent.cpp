#include "records/ContactCardContent.h"

#include <cstring>
#include <string_view>

#include "records/ExportState.h"
#include "records/TypeLabels.h"

namespace records {

namespace {

enum class RowKind { kOther, kPhone, kEmail, kOrganization };

// The kind of a data row, by its mimetype key: the first mimetype record
// with that key decides; a key that resolves to nothing adds nothing.
RowKind kindOf(std::int32_t mimeTypeKey, const phone::MimeTypeRecord* mimeTypes) {
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

ContactCardContent recoveredCard(const phone::ContactRecord& contact) {
  ContactCardContent card;
  if (contact.displayName == nullptr) return card;
  const std::string_view line = contact.displayName;
  const std::size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return card;
  card.name = WideText(line.substr(0, tab));
  card.rows.push_back(ContactCardRow{kRecoveredRowLabel, WideText(line.substr(tab + 1))});
  return card;
}

// Company first; the job title, or else the department, next; each line
// keeps the first text it gets.
void addOrganization(ContactCardContent& card, const phone::DataRowRecord& row) {
  auto& lines = card.organization;
  if (lines[0].empty()) lines[0] = WideText(row.value);
  if (lines[1].empty()) lines[1] = WideText(row.title);
  if (lines[1].empty() && lines[2].empty()) lines[2] = WideText(row.department);
}

std::u16string emailLabel(const phone::DataRowRecord& row) {
  const std::u16string_view label = EmailTypeLabel(TypeCodeOf(row.typeCode));
  return std::u16string(label.empty() ? std::u16string_view(kEmailFallbackLabel) : label);
}

}  // namespace

ContactCardContent ContactCardOf(const phone::ContactRecord& contact, const phone::DataRowRecord* dataRows,
                                 const phone::MimeTypeRecord* mimeTypes) {
  if (contact.deleted != 0) return recoveredCard(contact);

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
        card.rows.push_back(
            ContactCardRow{std::u16string(PhoneTypeLabel(TypeCodeOf(row->typeCode))), WideText(row->value)});
        break;
      case RowKind::kEmail:
        card.rows.push_back(ContactCardRow{emailLabel(*row), WideText(row->value)});
        break;
      case RowKind::kOther:
        break;
    }
  }
  return card;
}

}  // namespace records
