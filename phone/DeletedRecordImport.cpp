#include "phone/DeletedRecordImport.h"

#include <cstdint>

#include "engine/RecoveredRows.h"

namespace phone {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kMissing = "N/A";
constexpr std::int32_t kFreeSpace = static_cast<std::int32_t>(engine::SourceBit(engine::RowSource::kFreeSpace));

// Calls makeRecord(line) for each line ended by "\r\n" until it returns
// false; returns how many lines were taken.
template <typename MakeRecord>
std::size_t forEachRecoveredLine(std::string_view text, MakeRecord makeRecord) {
  std::size_t made = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(kLineEnd, start);
    if (end == std::string_view::npos) break;
    if (!makeRecord(text.substr(start, end - start))) break;
    ++made;
    start = end + kLineEnd.size();
  }
  return made;
}

// The field after the first `skip` tabs, up to the next tab (or, for the
// last field asked for, the end of the line); nothing when the line has
// fewer tabs.
std::string_view fieldOf(std::string_view line, std::size_t skip, bool toEnd) {
  for (std::size_t k = 0; k < skip; ++k) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return std::string_view();
    line.remove_prefix(tab + 1);
  }
  return toEnd ? line : line.substr(0, line.find('\t'));
}

MessageRecord** tailOf(MessageRecord** head) {
  while (*head != nullptr) head = &(*head)->next;
  return head;
}

DataRowRecord** tailOf(DataRowRecord** head) {
  while (*head != nullptr) head = &(*head)->next;
  return head;
}

}  // namespace

std::size_t CountLineEnds(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t hit = text.find(kLineEnd); hit != std::string_view::npos; hit = text.find(kLineEnd, hit + 1)) {
    ++count;
  }
  return count;
}

std::size_t ImportRecoveredContacts(std::string_view text, RecordArena& arena, std::vector<ContactRecord*>& contacts,
                                    DataRowRecord** dataRows, const ProgressUnit& onRecord) {
  DataRowRecord** tail = tailOf(dataRows);
  return forEachRecoveredLine(text, [&](std::string_view line) {
    const std::size_t tab = line.find('\t');
    auto* record = arena.NewRecord<ContactRecord>();
    const char* name = arena.CopyText(line.substr(0, tab));
    if (record == nullptr || name == nullptr) return false;
    record->contactKey = -static_cast<std::int32_t>(contacts.size() + 1);
    record->checked = 1;
    record->deleted = 1;
    record->sources = kFreeSpace;
    record->displayName = name;
    record->displayNameSource = kDisplayNameFromStructuredName;  // written as it stands
    if (tab != std::string_view::npos) {
      auto* value = arena.NewRecord<DataRowRecord>();
      const char* copy = arena.CopyText(line.substr(tab + 1));
      if (value == nullptr || copy == nullptr) return false;
      value->mimeTypeKey = kLineValueMimeTypeKey;
      value->contactKey = record->contactKey;
      value->value = copy;
      *tail = value;
      tail = &value->next;
    }
    contacts.push_back(record);
    if (onRecord) onRecord();
    return true;
  });
}

std::size_t ImportRecoveredMessages(std::string_view text, RecordArena& arena, ConversationRecord& loose,
                                    MessageRecord** messages, const ProgressUnit& onRecord) {
  MessageRecord** tail = tailOf(messages);
  return forEachRecoveredLine(text, [&](std::string_view line) {
    auto* record = arena.NewRecord<MessageRecord>();
    const char* copy = arena.CopyText(line);
    if (record == nullptr || copy == nullptr) return false;
    const std::string_view address = fieldOf(line, 1, false);
    const std::string_view body = fieldOf(line, 2, true);
    record->threadKey = loose.threadKey;
    if (!address.empty() && address != kMissing) record->address = arena.CopyText(address);
    if (!body.empty() && body != kMissing) record->body = arena.CopyText(body);
    record->sources = kFreeSpace;
    record->recoveredLine = copy;
    *tail = record;
    tail = &record->next;
    ++loose.messageCount;
    ++loose.deletedCount;
    loose.sources |= kFreeSpace;
    if (onRecord) onRecord();
    return true;
  });
}

}  // namespace phone
