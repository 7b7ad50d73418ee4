#include "records/ConversationContent.h"

#include <string_view>

#include "records/ExportState.h"

namespace records {

namespace {

std::vector<BubbleText> recoveredBubble(const phone::ConversationRecord& conversation) {
  std::vector<BubbleText> bubbles;
  if (conversation.recoveredText == nullptr) return bubbles;
  const std::string_view line = conversation.recoveredText;
  const std::size_t firstTab = line.find('\t');
  if (firstTab == std::string_view::npos) return bubbles;
  const std::size_t secondTab = line.find('\t', firstTab + 1);
  if (secondTab == std::string_view::npos || secondTab + 1 == line.size()) return bubbles;
  bubbles.push_back(BubbleText{u"", WideText(line.substr(secondTab + 1)), kBubbleOther});
  return bubbles;
}

}  // namespace

std::vector<BubbleText> ConversationBubblesOf(const phone::ConversationRecord& conversation,
                                              const phone::MessageRecord* messages) {
  if (conversation.deleted != 0) return recoveredBubble(conversation);
  std::vector<BubbleText> bubbles;
  for (const phone::MessageRecord* message = messages; message != nullptr; message = message->next) {
    if (message->threadKey != conversation.threadKey) continue;
    if (message->body == nullptr || message->body[0] == '\0') continue;
    const int kind = message->direction == phone::kDirectionReceived ? kBubbleReceived : kBubbleOther;
    bubbles.push_back(BubbleText{WideText(message->timeText), WideText(message->body), kind});
  }
  return bubbles;
}

}  // namespace records
