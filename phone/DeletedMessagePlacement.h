#pragma once
// Each deleted message once, in its conversation, at its time.
//
//   - A message needs a body of valid UTF-8 with at least two printable
//     characters, and a number, a thread or a date (but for the search
//     index's words); an address that is no UTF-8 is taken for none. A date
//     outside 1995 to 2100, a type other than 1 to 6 and a key outside the
//     32-bit range count as absent; the rest of the row stays.
//   - A message whose address, body and date a live message has is no
//     deleted message (an older image of a live one). SMS rowids are
//     reused, so a live rowid with another text says nothing.
//   - The same message found several times (same body, same address and
//     date where both rows have them) is one message naming every source.
//   - Its conversation: the live thread of its thread id, unless that
//     thread is with another number; else the live conversation with its
//     number (the same digits, or the same last 7 or more); else a deleted
//     conversation of its thread id, or of its number when it has none;
//     else, with neither thread nor number, the conversation of messages
//     without a conversation (the search index's words, mostly).
//   - In a conversation, messages are in time order; deleted messages
//     without a date come after the others.
//
// The conversations only deleted messages hold are new records (deleted
// = 1), newest first, the one without a conversation (loose = 1) last.

#include <cstddef>
#include <vector>

#include "engine/RecoveredRows.h"
#include "phone/DeletedRecordImport.h"
#include "phone/PhoneRecords.h"
#include "phone/RecordArena.h"

namespace phone {

// Places the deleted messages of `rows` into `lists` (whose message list is
// linked anew, conversation by conversation) and appends the conversations
// that only deleted messages hold to `conversations`. Each row reports one
// progress unit. Returns the number of deleted messages placed.
std::size_t PlaceDeletedMessages(const std::vector<engine::RecoveredMessageRow>& rows, SmsLists& lists,
                                 RecordArena& arena, std::vector<ConversationRecord*>& conversations,
                                 const ProgressUnit& onRow);

// Links `deleted` (messages not yet in the list) into the message list,
// which is grouped by conversation with each conversation's messages in
// time order: each into its conversation's run at its time (one without a
// date after them all), the conversations of deleted messages alone after
// the live ones; the message and deleted counts of each conversation grow
// with them.
void LinkDeletedMessages(SmsLists& lists, const std::vector<MessageRecord*>& deleted,
                         const std::vector<ConversationRecord*>& deletedConversations);

}  // namespace phone
