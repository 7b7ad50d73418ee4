#include "records/ExportWalk.h"

#include <vector>

namespace records {

namespace {

template <typename Record>
bool visitOne(const Record& record, ExportState& state, const std::function<Visit(const Record&)>& visit,
              bool advance) {
  if (record.checked == 0) return true;
  if (state.WaitThenStopped()) return false;
  if (visit(record) == Visit::kFailed) return false;
  if (advance) state.Advance();
  return true;
}

template <typename Record>
bool walk(const Record* head, const std::vector<const Record*>& recovered, ExportState& state,
          const std::function<Visit(const Record&)>& visit, bool advance) {
  for (const Record* record = head; record != nullptr; record = record->next) {
    if (!visitOne(*record, state, visit, advance)) return false;
  }
  for (const Record* record : recovered) {
    if (!visitOne(*record, state, visit, advance)) return false;
  }
  return true;
}

}  // namespace

bool WalkContacts(const ExportRecords& records, ExportState& state,
                  const std::function<Visit(const phone::ContactRecord&)>& visit, bool advance) {
  return walk(records.contacts, records.recoveredContacts, state, visit, advance);
}

bool WalkConversations(const ExportRecords& records, ExportState& state,
                       const std::function<Visit(const phone::ConversationRecord&)>& visit, bool advance) {
  return walk(records.conversations, records.recoveredConversations, state, visit, advance);
}

}  // namespace records
