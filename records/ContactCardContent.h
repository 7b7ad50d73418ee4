#pragma once
// What the contact card shows of one contact, as texts: the heading name,
// up to three organisation lines and one labelled row per phone number and
// e-mail address, in the order of the contact's data rows. A deleted
// contact shows the same, and last a row that says where it was found.
//
// A number's label is its type's (TypeLabels.h); a type without one of its
// own there is named as Android names it ("Main", a custom label). A value
// recovered as a line of text, of no known kind, is a "Mobile:" row.

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

// The name of a contact whose name does not come from a structured name.
constexpr char16_t kNoName[] = u"No Name";
// The label of a value of unknown kind.
constexpr char16_t kRecoveredRowLabel[] = u"Mobile:";
// The label of an e-mail address whose type has no label of its own.
constexpr char16_t kEmailFallbackLabel[] = u"Email";
// The label of the row that says where a deleted contact was found.
constexpr char16_t kDeletedRowLabel[] = u"Deleted:";

// `dataRows` is the list that holds the contact's values (the live list for
// a live contact, the deleted contacts' list for a deleted one) and
// `mimeTypes` the head of the live mimetype list; either may be null.
ContactCardContent ContactCardOf(const phone::ContactRecord& contact, const phone::DataRowRecord* dataRows,
                                 const phone::MimeTypeRecord* mimeTypes);

}  // namespace records
