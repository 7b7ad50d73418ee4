#pragma once
// The order in which the exports that write whole files at once (the
// spreadsheet, the report) visit the checked records, with the pause gate,
// the stop flag and the progress of the export state: the same records
// and the same progress steps as the text export (CountCheckedRecords).
//
// Before each record the walk waits while the export is paused and ends
// when the stop flag is set; after each it advances the progress once
// (unless `advance` is false: a file written beside the text files, whose
// records those already counted).

#include <functional>

#include "phone/RecordLayouts.h"
#include "records/ExportState.h"

namespace records {

// What a visit made of its record: written, or a file failed (the visitor
// has put the failure in the state) and the export ends.
enum class Visit { kWritten, kFailed };

// The checked live contacts in list order, then the checked deleted
// contacts. True when every one was visited and written; false when stopped
// or failed.
bool WalkContacts(const ExportRecords& records, ExportState& state,
                  const std::function<Visit(const phone::ContactRecord&)>& visit, bool advance = true);

// The checked live conversations in list order, then the checked
// conversations that only deleted messages hold (deleted = 1).
bool WalkConversations(const ExportRecords& records, ExportState& state,
                       const std::function<Visit(const phone::ConversationRecord&)>& visit, bool advance = true);

}  // namespace records
