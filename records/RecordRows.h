#pragma once
// The rows the record list shows for a category, built from the phone
// records: recovered records first (import order), then live ones (list
// order). Each row points to its record, whose checked flag sets the row's
// box. Cell texts are UTF-16, ready for the screen.
//
// Contacts: Name, Phone, Company, Email. A recovered contact shows the text
// before its first TAB as the name and the rest as the phone; one without a
// TAB gets no row. A live contact shows its display name as stored and the
// first non-empty phone, organisation and e-mail value of its data rows.
//
// Messages: Name, Phone. A recovered message shows its name and address
// fields; one with fewer than two TABs gets no row. A conversation shows
// the address of its first message, and the display name of the contact
// whose person key that message names (first match), else no name.

#include <string>
#include <vector>

#include "phone/PhoneRecords.h"
#include "records/ExportState.h"

namespace records {

struct RecordRow {
  std::vector<std::u16string> cells;
  const void* record;  // a phone::ContactRecord or phone::ConversationRecord
  bool checked;
};

std::vector<RecordRow> ContactRows(const ExportRecords& records);
std::vector<RecordRow> MessageRows(const ExportRecords& records);

// Sets the checked flag of every record of a category: contacts (with the
// raw contacts' flags) or messages (conversations and recovered messages).
void CheckAllContacts(const phone::PhoneRecords& records, bool checked);
void CheckAllMessages(const phone::PhoneRecords& records, bool checked);

}  // namespace records
