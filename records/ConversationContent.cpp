#include "records/ConversationContent.h"

#include "records/ExportState.h"
#include "records/SourceText.h"

namespace records {

std::u16string DeletedDateText(const std::u16string& date) {
  return date.empty() ? std::u16string(u"Deleted, no date") : date + u" \u00B7 deleted";
}

std::vector<BubbleText> ConversationBubblesOf(const phone::ConversationRecord& conversation,
                                              const phone::MessageRecord* messages) {
  std::vector<BubbleText> bubbles;
  for (const phone::MessageRecord* message = messages; message != nullptr; message = message->next) {
    if (message->threadKey != conversation.threadKey) continue;
    if (message->body == nullptr || message->body[0] == '\0') continue;
    const int kind = message->direction == phone::kDirectionReceived ? kBubbleReceived : kBubbleOther;
    BubbleText bubble{WideText(message->timeText), WideText(message->body), kind, false, {}};
    if (phone::IsDeleted(*message)) {
      bubble.deleted = true;
      bubble.date = DeletedDateText(bubble.date);
      bubble.note = WideText(SourceWords(message->sources));
    }
    bubbles.push_back(std::move(bubble));
  }
  return bubbles;
}

}  // namespace records
