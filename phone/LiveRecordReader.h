#pragma once
// The live (not deleted) records of the two phone databases, read from the
// local copies through SQLite into the record layouts of RecordLayouts.h.
//
// Each copy is read through a DatabaseCopy, a connection to a private
// working copy of it: nothing is created, changed or deleted beside it; a hot
// journal beside a copy is rolled back in the private folder, so the live
// rows are those of the last commit, and rows that are only in a "-wal" file
// beside a copy are read all the same. Tables are read by column name, never
// by position (SalvageTableScan): a column that a phone's Android version
// lacks reads as NULL, so one reader serves every version. A copy is
// untrusted: a file that is not a database, a missing table, a damaged page
// or an absurdly large table gives fewer records and a ReadOutcome that says
// why, never a crash.
//
// Contacts (contacts2.db):
//   - one ContactRecord per row of `contacts`, sorted by display name
//     (ASCII letters without regard to case, then byte order), contacts
//     without a name last, ties by contact key;
//     contactKey = contacts._id; the name, its source and personKey come
//     from the raw contact that names the contact (contacts.name_raw_contact_id,
//     else its first raw contact): display_name, display_name_source and the
//     raw contact's _id, which is the key the SMS provider's `person` column
//     stores (the people id of the legacy contacts API);
//   - one ContactExtraRecord per row of `raw_contacts`, in _id order;
//   - one DataRowRecord per row of `data`, in _id order: value = data1,
//     typeCode = data2 when it is a whole number, contactKey = the contact of
//     the row's raw contact (0 when it has none); for organisation rows
//     title = data4 and department = data5 (null for other rows), so that
//     the contact card shows company, title and, for an organisation without
//     a title, the department; for name rows givenName = data2 and
//     familyName = data3; for other rows of the custom type (data2 0)
//     label = data3, the label the user gave it;
//   - one MimeTypeRecord per row of `mimetypes`, in _id order.
//
// SMS (mmssms.db):
//   - one ConversationRecord per thread that holds at least one SMS: the
//     threads of `threads` and any thread_id of `sms` that `threads` lacks
//     (threads with MMS only would show as empty conversations and are left
//     out); newest conversation first, by the date of its newest message,
//     ties by thread key;
//   - one MessageRecord per row of `sms`, grouped by conversation in
//     conversation order and, within a conversation, oldest first (by date,
//     then _id), the order a conversation view shows them in;
//     timeText = FormatMessageTime(date), direction 1 for type 1 (received),
//     2 for every other type, personKey = person (0 when NULL).
//
// Texts are converted from the databases' UTF-8 to the narrow encoding;
// bytes that are not UTF-8 read as U+FFFD, and a text is cut after 1 MiB.
// Records start checked (flag 1) and not deleted.

#include <string>

#include "phone/ReadOutcome.h"
#include "phone/RecordArena.h"
#include "phone/RecordLayouts.h"

namespace phone {

// Reads the contacts copy into the arena. Each out-parameter that is not
// null receives the head of its list, or null for an empty list.
ReadOutcome ReadContactsDb(const std::string& path, RecordArena& arena, ContactExtraRecord** extras,
                           ContactRecord** contacts, DataRowRecord** dataRows, MimeTypeRecord** mimeTypes);

// Reads the SMS copy into the arena. Each out-parameter that is not null
// receives the head of its list, or null for an empty list.
ReadOutcome ReadSmsDb(const std::string& path, RecordArena& arena, ConversationRecord** conversations,
                      MessageRecord** messages);

}  // namespace phone
