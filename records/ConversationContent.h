#pragma once
// What the conversation view shows of one conversation, as texts: one
// bubble per message with a body, in list order. A received message is a
// left bubble, every other message a right one. A recovered message
// (deleted marker set) is one right bubble with the body field of its line
// (the text after the second TAB) and no date.

#include <string>
#include <vector>

#include "phone/RecordLayouts.h"

namespace records {

enum BubbleKind { kBubbleReceived = 1, kBubbleOther = 2 };

struct BubbleText {
  std::u16string date;
  std::u16string body;
  int kind = kBubbleOther;
};

// `messages` is the head of the live message list (null when empty); it is
// read only for a live conversation. Messages with an empty body give no
// bubble.
std::vector<BubbleText> ConversationBubblesOf(const phone::ConversationRecord& conversation,
                                              const phone::MessageRecord* messages);

}  // namespace records
