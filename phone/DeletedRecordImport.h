#pragma once
// The deleted records: each line of a recovered-record text (lines ended by
// "\r\n", fields separated by "\t") becomes one record in the layout of the
// live records, marked as deleted, so that lists, detail panes and exports
// handle live and recovered records side by side.
//
// Cutting: from position 0, each "\r\n" ends one record, whose text is what
// lies before it (possibly empty); the records are numbered from 0 in line
// order. Text after the last "\r\n" makes no record. A record's text is a
// private NUL-terminated copy of its line; readers split it at the tabs.

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

// Appends one recovered contact per line of the deleted-contacts text:
// contactKey = line number from 0, checked 1, deleted 1, displayName = the
// line, next null. Returns the number of records made; fewer than
// CountLineEnds only when the arena refuses memory.
std::size_t ImportRecoveredContacts(std::string_view text, RecordArena& arena, std::vector<ContactRecord*>& records,
                                    const ProgressUnit& onRecord);

// Appends one recovered message per line of the deleted-messages text:
// threadKey = line number from 0, checked 1, deleted 1, source free space,
// recoveredText = the line, next null. Returns the number of records made.
std::size_t ImportRecoveredMessages(std::string_view text, RecordArena& arena,
                                    std::vector<ConversationRecord*>& records, const ProgressUnit& onRecord);

}  // namespace phone
