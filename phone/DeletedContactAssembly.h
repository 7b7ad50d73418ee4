#pragma once
// Whole deleted contacts from the recovered rows of the contacts `data`
// table: each deleted raw contact once, with its name (and its parts) and
// every number, e-mail address and company (with title and department) its
// rows still hold, as the live contacts are shown.
//
//   - A row's kind is its mimetype (name, phone, e-mail, organisation);
//     rows of other kinds (groups, photos, notes, ...) make nothing. A row
//     whose mimetype is unknown counts as a phone number or an e-mail
//     address when it looks like one, and makes nothing otherwise.
//   - A value must be valid UTF-8 with at least two printable characters.
//   - Rows of one raw contact make one contact; rows never pair across raw
//     contacts. A row without a readable raw contact makes a contact of its
//     own, unless its value is live or already in another recovered contact.
//   - Rows of a raw contact that is still live are the deleted values of
//     that contact: one deleted record under the live contact's name, with
//     the values the live contact no longer has. A raw contact the phone
//     marked deleted is deleted.
//   - The same value of one contact found several times is one value that
//     names every place it was found in.
//   - A contact whose name and values one live contact all has again is no
//     deleted contact (the phone re-synced it); two recovered contacts with
//     the same name and values are one.

#include <cstddef>
#include <vector>

#include "engine/RecoveredRows.h"
#include "phone/DeletedRecordImport.h"
#include "phone/PhoneRecords.h"
#include "phone/RecordArena.h"
#include "phone/RecordLayouts.h"

namespace phone {

// Appends the deleted contacts made from `rows` to `contacts` (keys -1, -2,
// ... below those already there) and their values to the list at
// `dataRows`. `live` are the live lists read from the same copy. Each row
// reports one progress unit. Returns the number of contacts made.
std::size_t AssembleDeletedContacts(const std::vector<engine::RecoveredContactRow>& rows, const ContactLists& live,
                                    RecordArena& arena, std::vector<ContactRecord*>& contacts,
                                    DataRowRecord** dataRows, const ProgressUnit& onRow);

}  // namespace phone
