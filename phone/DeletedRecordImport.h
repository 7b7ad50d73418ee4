#pragma once
// The deleted records of carving alone (the recovered-record text, without
// the deep pass): each line of a recovered-record text (lines ended by
// "\r\n", fields separated by "\t") becomes one deleted record, in the
// records' own shape, so that lists, detail panes and exports handle every
// record alike. The line is cut here, once; no reader cuts it again.
//
// Cutting: from position 0, each "\r\n" ends one record, whose text is what
// lies before it (possibly empty). Text after the last "\r\n" makes no
// record.
//
//   contacts  one deleted contact per line (keys -1, -2, ... in line order,
//             below those already made): its name is the text before the
//             first tab, written as it stands; the rest of the line is one
//             value of unknown kind (kLineValueMimeTypeKey). A line without
//             a tab is a name alone.
//   messages  one deleted message per line, in the conversation of
//             messages without a conversation: its address and body are
//             the second and third fields ("N/A" is none), and the whole
//             line is kept to be written back as it is.

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "phone/RecordArena.h"
#include "phone/RecordLayouts.h"

namespace phone {

// Called once per record made, for the progress bar.
using ProgressUnit = std::function<void()>;

// The number of "\r\n" in the text: the number of records the import of the
// same text makes, and so the progress total of the loading pass.
std::size_t CountLineEnds(std::string_view text);

// Appends one deleted contact per line to `contacts` and its value to the
// list at `dataRows`. Returns the number of records made; fewer than
// CountLineEnds only when the arena refuses memory.
std::size_t ImportRecoveredContacts(std::string_view text, RecordArena& arena, std::vector<ContactRecord*>& contacts,
                                    DataRowRecord** dataRows, const ProgressUnit& onRecord);

// Appends one deleted message per line to the end of the message list at
// `messages`, all in `loose` (a conversation of messages without one, made
// by the caller). Returns the number of records made.
std::size_t ImportRecoveredMessages(std::string_view text, RecordArena& arena, ConversationRecord& loose,
                                    MessageRecord** messages, const ProgressUnit& onRecord);

}  // namespace phone
