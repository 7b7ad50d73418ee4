// The record layouts. Their exact 32-bit offsets are checked at compile
// time by the record_layouts_32bit test; here, on any target, the fields
// keep the tabled order and widths, which a 64-bit build would otherwise
// let drift unnoticed.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "phone/RecordLayouts.h"

namespace phone {
namespace {

// Offsets strictly increasing in the tabled order.
void expectAscending(std::initializer_list<std::size_t> offsets) {
  std::size_t previous = 0;
  bool first = true;
  for (const std::size_t offset : offsets) {
    if (first) {
      EXPECT_EQ(offset, 0u) << "the first field starts the record";
    } else {
      EXPECT_GT(offset, previous);
    }
    previous = offset;
    first = false;
  }
}

TEST(RecordLayoutsTest, FieldsKeepTheTabledOrder) {
  expectAscending({offsetof(ContactRecord, contactKey), offsetof(ContactRecord, checked),
                   offsetof(ContactRecord, personKey), offsetof(ContactRecord, deleted),
                   offsetof(ContactRecord, displayName), offsetof(ContactRecord, displayNameSource),
                   offsetof(ContactRecord, sources), offsetof(ContactRecord, next)});
  expectAscending({offsetof(ContactExtraRecord, rawContactKey), offsetof(ContactExtraRecord, checked),
                   offsetof(ContactExtraRecord, contactKey), offsetof(ContactExtraRecord, markedDeleted),
                   offsetof(ContactExtraRecord, displayName), offsetof(ContactExtraRecord, displayNameSource),
                   offsetof(ContactExtraRecord, accountKey), offsetof(ContactExtraRecord, next)});
  expectAscending({offsetof(DataRowRecord, mimeTypeKey), offsetof(DataRowRecord, contactKey),
                   offsetof(DataRowRecord, dataKey), offsetof(DataRowRecord, rawContactKey),
                   offsetof(DataRowRecord, value), offsetof(DataRowRecord, typeCode), offsetof(DataRowRecord, label),
                   offsetof(DataRowRecord, title),
                   offsetof(DataRowRecord, department), offsetof(DataRowRecord, next)});
  expectAscending({offsetof(MimeTypeRecord, key), offsetof(MimeTypeRecord, mimeType), offsetof(MimeTypeRecord, next)});
  expectAscending({offsetof(ConversationRecord, threadKey), offsetof(ConversationRecord, checked),
                   offsetof(ConversationRecord, messageCount), offsetof(ConversationRecord, sources),
                   offsetof(ConversationRecord, deletedCount), offsetof(ConversationRecord, loose),
                   offsetof(ConversationRecord, deleted), offsetof(ConversationRecord, next)});
  expectAscending({offsetof(MessageRecord, messageKey), offsetof(MessageRecord, threadKey),
                   offsetof(MessageRecord, address), offsetof(MessageRecord, personKey),
                   offsetof(MessageRecord, timeText), offsetof(MessageRecord, typeCode),
                   offsetof(MessageRecord, dateMillis), offsetof(MessageRecord, direction),
                   offsetof(MessageRecord, sources), offsetof(MessageRecord, body),
                   offsetof(MessageRecord, recoveredLine), offsetof(MessageRecord, next)});
  // The one-byte checked flags sit at offset 4, right after the key.
  EXPECT_EQ(offsetof(ConversationRecord, checked), 4u);
  EXPECT_EQ(offsetof(ContactExtraRecord, checked), 4u);
}

TEST(RecordLayoutsTest, MessageDateKeepsEveryBitInItsTwoHalves) {
  MessageRecord message{};
  for (const std::int64_t millis : {std::int64_t{0}, std::int64_t{1547394890123}, std::int64_t{0xFFFFFFFF},
                                    std::int64_t{0x100000000}, INT64_MAX, std::int64_t{-1}, INT64_MIN}) {
    SetMessageDate(message, millis);
    EXPECT_EQ(MessageDateOf(message), millis);
  }
}

}  // namespace
}  // namespace phone
