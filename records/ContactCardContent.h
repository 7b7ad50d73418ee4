#pragma once
// What the contact card shows of one contact, as texts: the heading name,
// up to three organisation lines and one labelled row per phone number and
// e-mail address, in the order of the contact's data rows.
//
// A recovered contact (deleted marker set) shows the part of its line before
// the first TAB as the name and one "Mobile:" row with all the rest; a line
// without a TAB shows nothing but the picture.

#include <array>
#include <string>
#include <vector>

#include "phone/RecordLayouts.h"

namespace records {

struct ContactCardRow {
  std::u16string label;
  std::u16string value;
};

struct ContactCardContent {
  std::u16string name;
  std::array<std::u16string, 3> organization;  // company, then two further texts
  std::vector<ContactCardRow> rows;
};

// The name of a live contact whose name does not come from a structured name.
constexpr char16_t kNoName[] = u"No Name";
// The label of a recovered contact's only row.
constexpr char16_t kRecoveredRowLabel[] = u"Mobile:";
// The label of an e-mail address whose type has no label of its own.
constexpr char16_t kEmailFallbackLabel[] = u"Email";

// `dataRows` and `mimeTypes` are the heads of the live lists (null when
// empty); they are read only for a live contact.
ContactCardContent ContactCardOf(const phone::ContactRecord& contact, const phone::DataRowRecord* dataRows,
                                 const phone::MimeTypeRecord* mimeTypes);

}  // namespace records
