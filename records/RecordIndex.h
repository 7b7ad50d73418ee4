#pragma once
// Lookups over the record lists that the exporters share: the data rows of
// each contact with the kind of each row, the messages of each thread, and
// the contact that a message's person key names.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "phone/RecordLayouts.h"
#include "records/ExportState.h"

namespace records {

// The kinds of data row that the exports write; every other mimetype is
// kOther. kUnknown is a value recovered as a line of text, of no known kind.
// A name row (kName) is no detail: it gives the name's parts.
enum class DetailKind { kOther, kOrganization, kPhone, kEmail, kUnknown, kName };

// True for the kinds a contact's details list: numbers, addresses,
// companies and values of unknown kind.
inline bool IsDetail(DetailKind kind) { return kind != DetailKind::kOther && kind != DetailKind::kName; }

DetailKind DetailKindOf(const char* mimeType);

// The label of a row of that kind: "Company" for an organisation, the
// phone or e-mail type label (TypeLabels.h) for the others.
std::u16string DetailLabel(DetailKind kind, const phone::DataRowRecord& row);
// The name of a row's type for every type Android has (TypeLabels.h:
// PhoneTypeName, EmailTypeName): "Company" for an organisation.
std::u16string DetailTypeName(DetailKind kind, const phone::DataRowRecord& row);

// The data rows of each contact key in list order, live and deleted ones
// (the deleted contacts' keys are below 0), and the kind of each mimetype
// key (the first record with that key decides; a key whose text is absent
// resolves to kOther, so that its rows are skipped).
struct ContactIndex {
  std::unordered_map<std::int32_t, std::vector<const phone::DataRowRecord*>> rowsByContact;
  std::unordered_map<std::int32_t, DetailKind> kindByMimeType;

  explicit ContactIndex(const ExportRecords& records);

  // The rows of a contact; empty when it has none.
  const std::vector<const phone::DataRowRecord*>& rowsOf(std::int32_t contactKey) const;
  // The kind of a row; kOther when its mimetype key is unknown.
  DetailKind kindOf(const phone::DataRowRecord& row) const;
};

// The messages of each thread key, in list order.
using MessagesByThread = std::unordered_map<std::int32_t, std::vector<const phone::MessageRecord*>>;
MessagesByThread MessagesByThreadOf(const phone::MessageRecord* messages);

// The first contact (in list order) of each non-zero person key.
using ContactsByPerson = std::unordered_map<std::int32_t, const phone::ContactRecord*>;
ContactsByPerson ContactsByPersonOf(const phone::ContactRecord* contacts);

// The contact a message names through its person key, or null.
const phone::ContactRecord* ContactOf(const phone::MessageRecord& message, const ContactsByPerson& byPerson);

}  // namespace records
