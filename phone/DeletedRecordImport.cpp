#include "phone/DeletedRecordImport.h"

#include <cstdint>

namespace phone {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Calls makeRecord(sequence number, line) for each line ended by "\r\n" until
// it returns false; returns how many lines were taken.
template <typename MakeRecord>
std::size_t forEachRecoveredLine(std::string_view text, MakeRecord makeRecord) {
  std::size_t made = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(kLineEnd, start);
    if (end == std::string_view::npos) break;
    if (!makeRecord(static_cast<std::int32_t>(static_cast<std::uint32_t>(made)), text.substr(start, end - start))) {
      break;
    }
    ++made;
    start = end + kLineEnd.size();
  }
  return made;
}

}  // namespace

std::size_t CountLineEnds(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t hit = text.find(kLineEnd); hit != std::string_view::npos; hit = text.find(kLineEnd, hit + 1)) {
    ++count;
  }
  return count;
}

std::size_t ImportRecoveredContacts(std::string_view text, RecordArena& arena, std::vector<ContactRecord*>& records,
                                    const ProgressUnit& onRecord) {
  return forEachRecoveredLine(text, [&](std::int32_t sequence, std::string_view line) {
    auto* record = arena.NewRecord<ContactRecord>();
    const char* copy = arena.CopyText(line);
    if (record == nullptr || copy == nullptr) return false;
    record->contactKey = sequence;
    record->checked = 1;
    record->deleted = 1;
    record->source = kSourceFreeSpace;
    record->displayName = copy;
    record->next = nullptr;
    records.push_back(record);
    if (onRecord) onRecord();
    return true;
  });
}

std::size_t ImportRecoveredMessages(std::string_view text, RecordArena& arena,
                                    std::vector<ConversationRecord*>& records, const ProgressUnit& onRecord) {
  return forEachRecoveredLine(text, [&](std::int32_t sequence, std::string_view line) {
    auto* record = arena.NewRecord<ConversationRecord>();
    const char* copy = arena.CopyText(line);
    if (record == nullptr || copy == nullptr) return false;
    record->threadKey = sequence;
    record->checked = 1;
    record->deleted = 1;
    record->source = kSourceFreeSpace;
    record->recoveredText = copy;
    record->next = nullptr;
    records.push_back(record);
    if (onRecord) onRecord();
    return true;
  });
}

}  // namespace phone
