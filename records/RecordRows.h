#pragma once
// The rows the record list shows for a category, built from the phone
// records: deleted records first, then live ones (list order). Each row
// points to its record, whose checked flag sets the row's box. Cell texts
// are UTF-16, ready for the screen.
//
// Contacts: Name, Phone, Company, Email. A contact, live or deleted, shows
// its name as stored and its first non-empty number, company and e-mail
// address (a value recovered as a line of text stands as its number). The
// deleted ones are whole contacts, first.
//
// Messages: Name, Phone, Messages. One row per conversation: the
// conversations that only deleted messages hold first (red), then the live
// ones. Name and Phone are the sender's name (RecordFacts) and number of
// its first message; Messages how many it holds and how many of them were
// deleted ("12, 3 deleted"; "6 deleted" when all were).

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

// The Messages cell of a conversation: "12", "12, 3 deleted", or for a
// conversation only deleted messages hold "6 deleted".
std::u16string MessageCountText(const phone::ConversationRecord& conversation);

// Sets the checked flag of every record of a category: contacts (with the
// raw contacts' flags) or conversations.
void CheckAllContacts(const phone::PhoneRecords& records, bool checked);
void CheckAllMessages(const phone::PhoneRecords& records, bool checked);

}  // namespace records
