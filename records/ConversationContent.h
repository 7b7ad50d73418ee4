#pragma once
// What the conversation view shows of one conversation, as texts: one
// bubble per message with a body, in list order (each conversation's
// messages in time order, its deleted ones among them). A received message
// is a left bubble, every other message a right one. A deleted message is
// marked so, with the date it had (none when its row kept none) and a note
// that says where it was found.

#include <string>
#include <vector>

#include "phone/RecordLayouts.h"

namespace records {

enum BubbleKind { kBubbleReceived = 1, kBubbleOther = 2 };

struct BubbleText {
  std::u16string date;
  std::u16string body;
  int kind = kBubbleOther;
  bool deleted = false;
  std::u16string note;  // deleted messages: where it was found
};

// The date line of a deleted message: its date followed by "· deleted",
// or "Deleted, no date".
std::u16string DeletedDateText(const std::u16string& date);

// `messages` is the head of the message list (null when empty).
std::vector<BubbleText> ConversationBubblesOf(const phone::ConversationRecord& conversation,
                                              const phone::MessageRecord* messages);

}  // namespace records
