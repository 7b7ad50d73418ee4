#pragma once
// The fixed-layout records of the phone: live records read from the copies
// (LiveRecordReader) and deleted ones made from the recovered-record text
// (DeletedRecordImport) share these layouts, so that the record list, the
// detail panes and the export handle both side by side.
//
// Every record is a node of a singly linked list through its `next` pointer.
// Texts are NUL-terminated narrow strings (the ANSI code page on Windows,
// UTF-8 elsewhere); a null text reads as empty. Keys are 32-bit. Records and
// texts live in a RecordArena and are never freed one by one.
//
// On a 32-bit target (the Windows program) the offsets and sizes are exactly
// the ones in the tables below, checked at the end of this file; a 64-bit
// build keeps the field order with wider pointers. Fields marked "ours" are
// not read by the program's windows or exporters; this program's reader
// fills them for diagnosis and tests.

#include <cstddef>
#include <climits>
#include <cstdint>

namespace phone {

// A contact (an aggregated contact of the phone), 32 bytes. Also the layout
// of a deleted contact: deleted = 1, a key below 0 that its data rows name,
// and the places it was found in.
//
//   off  size  field
//     0     4  contactKey         contacts._id; matched by DataRowRecord::contactKey
//     4     4  checked            0/1, written by the check boxes
//     8     4  personKey          matched by MessageRecord::personKey
//    12     4  deleted            0 live, 1 recovered
//    16     4  displayName        text
//    20     4  displayNameSource  40 = taken from a structured name
//    24     4  sources            where a deleted record was found: a mask of
//                                 engine::RowSource bits; 0 for a live one (ours)
//    28     4  next
struct ContactRecord {
  std::int32_t contactKey;
  std::int32_t checked;
  std::int32_t personKey;
  std::int32_t deleted;
  const char* displayName;
  std::int32_t displayNameSource;
  std::int32_t sources;
  ContactRecord* next;
};

// The display-name source of a name taken from a structured name.
constexpr std::int32_t kDisplayNameFromStructuredName = 40;

// One raw contact (the per-account part of a contact), 32 bytes. Only the
// one-byte checked flag and next are read by the program.
//
//   off  size  field
//     0     4  rawContactKey      raw_contacts._id (ours)
//     4     1  checked            0/1
//     5     3  reserved
//     8     4  contactKey         raw_contacts.contact_id (ours)
//    12     4  markedDeleted      raw_contacts.deleted: deleted on the phone,
//                                 waiting for its account to sync (ours)
//    16     4  displayName        text (ours)
//    20     4  displayNameSource  (ours)
//    24     4  accountKey         raw_contacts.account_id (ours)
//    28     4  next
struct ContactExtraRecord {
  std::int32_t rawContactKey;
  std::uint8_t checked;
  std::uint8_t reserved[3];
  std::int32_t contactKey;
  std::int32_t markedDeleted;
  const char* displayName;
  std::int32_t displayNameSource;
  std::int32_t accountKey;
  ContactExtraRecord* next;
};

// One detail of a contact (a row of the `data` table), 84 bytes.
//
//   off  size  field
//     0     4  mimeTypeKey        data.mimetype_id; matched by MimeTypeRecord::key
//     4     4  contactKey         the contact of the row's raw contact
//     8     4  dataKey            data._id (ours)
//    12     4  rawContactKey      data.raw_contact_id (ours)
//    16     4  reserved0
//    20     4  value              data1: the number, the address, the company
//    24     4  typeCode           data2 as decimal text (null when data2 is no
//                                 whole number, e.g. a given name)
//    28     8  reserved1
//    28     4  label              phone and e-mail rows: data3, the label of a
//                                 custom type (type code 0) (ours)
//    32     4  reserved1
//    36     4  title              organisation rows: data4, the job title
//    40     4  department         organisation rows: data5, the department
//    44     4  givenName          name rows: data2 (ours)
//    48     4  familyName         name rows: data3 (ours)
//    52    28  reserved2
//    80     4  next
//
// The data rows of deleted contacts are kept in a list of their own; a
// value recovered as a line of text, whose kind nobody knows, has the
// mimetype key kLineValueMimeTypeKey.
struct DataRowRecord {
  std::int32_t mimeTypeKey;
  std::int32_t contactKey;
  std::int32_t dataKey;
  std::int32_t rawContactKey;
  std::int32_t reserved0;
  const char* value;
  const char* typeCode;
  const char* label;
  std::int32_t reserved1;
  const char* title;
  const char* department;
  const char* givenName;
  const char* familyName;
  std::int32_t reserved2[7];
  DataRowRecord* next;
};

// One kind of detail (a row of the `mimetypes` table), 12 bytes.
//
//   off  size  field
//     0     4  key                mimetypes._id
//     4     4  mimeType           text, e.g. "vnd.android.cursor.item/phone_v2"
//     8     4  next
struct MimeTypeRecord {
  std::int32_t key;
  const char* mimeType;
  MimeTypeRecord* next;
};

// No mimetype record has this key: a value of unknown kind.
constexpr std::int32_t kLineValueMimeTypeKey = INT32_MIN;

constexpr const char kMimeTypeName[] = "vnd.android.cursor.item/name";
constexpr const char kMimeTypePhone[] = "vnd.android.cursor.item/phone_v2";
constexpr const char kMimeTypeEmail[] = "vnd.android.cursor.item/email_v2";
constexpr const char kMimeTypeOrganization[] = "vnd.android.cursor.item/organization";

// A conversation (a message thread), 44 bytes. Also the layout of a
// conversation that only deleted messages hold (deleted = 1): a thread the
// phone no longer has, or the messages of one number without a thread, or
// the deleted messages that belong to no conversation at all (loose = 1).
//
//   off  size  field
//     0     4  threadKey          sms.thread_id; matched by MessageRecord::threadKey
//     4     1  checked            0/1
//     5     3  reserved0
//     8     4  messageCount       messages of the thread in the message list (ours)
//    12     4  sources            deleted conversations: where their messages
//                                 were found, a mask of engine::RowSource bits (ours)
//    16     4  deletedCount       deleted messages among them (ours)
//    20     4  loose              1: messages without a conversation (ours)
//    24     8  reserved1
//    32     4  deleted            0 live, 1 recovered
//    36     4  reserved2
//    40     4  next
struct ConversationRecord {
  std::int32_t threadKey;
  std::uint8_t checked;
  std::uint8_t reserved0[3];
  std::int32_t messageCount;
  std::int32_t sources;
  std::int32_t deletedCount;
  std::int32_t loose;
  std::int32_t reserved1[2];
  std::int32_t deleted;
  std::int32_t reserved2;
  ConversationRecord* next;
};

// One text message (a row of the `sms` table), 52 bytes. The list order is
// the order in which messages are shown and exported.
//
//   off  size  field
//     0     4  messageKey         sms._id (ours)
//     4     4  threadKey          sms.thread_id
//     8     4  address            text: the other party's number
//    12     4  personKey          sms.person, 0 = none
//    16     4  timeText           text: local time of sms.date
//    20     4  typeCode           sms.type as stored (ours)
//    24     8  dateMillis         sms.date: milliseconds since 1970 UTC, 0 when
//                                 none; low 32 bits, then high (ours; read
//                                 with MessageDateOf)
//    32     4  direction          1 received, 2 every other kind; deleted
//                                 messages of no known type: 0
//    36     4  sources            where a deleted message was found: a mask
//                                 of engine::RowSource bits; 0 live (ours)
//    40     4  body               text
//    44     4  recoveredLine      a message recovered as a line of text: the
//                                 line (ours)
//    48     4  next
//
// Deleted messages are linked into the same list, each in its conversation
// at its time (those without a date after the others).
struct MessageRecord {
  std::int32_t messageKey;
  std::int32_t threadKey;
  const char* address;
  std::int32_t personKey;
  const char* timeText;
  std::int32_t typeCode;
  // Two halves: an 8-byte integer would move the fields after it on
  // targets that align it to 8.
  std::uint32_t dateMillis[2];
  std::int32_t direction;
  std::int32_t sources;
  const char* body;
  const char* recoveredLine;
  MessageRecord* next;
};

inline bool IsDeleted(const MessageRecord& message) { return message.sources != 0; }

constexpr std::int32_t kDirectionReceived = 1;
constexpr std::int32_t kDirectionSent = 2;

// The message's date in milliseconds since 1970 UTC, 0 when it has none.
inline std::int64_t MessageDateOf(const MessageRecord& message) {
  const std::uint64_t bits = std::uint64_t{message.dateMillis[1]} << 32 | message.dateMillis[0];
  return static_cast<std::int64_t>(bits);
}

inline void SetMessageDate(MessageRecord& message, std::int64_t millisSinceEpoch) {
  const auto bits = static_cast<std::uint64_t>(millisSinceEpoch);
  message.dateMillis[0] = static_cast<std::uint32_t>(bits);
  message.dateMillis[1] = static_cast<std::uint32_t>(bits >> 32);
}

// The layouts are shared with code that reads them by offset: on a 32-bit
// target every offset and size must be exactly the tabled one.
namespace layout_check {

static_assert(sizeof(ContactExtraRecord::checked) == 1 && sizeof(ConversationRecord::checked) == 1,
              "one-byte checked flags");

constexpr bool kThirtyTwoBit = sizeof(void*) == 4;

static_assert(!kThirtyTwoBit || sizeof(ContactRecord) == 32, "ContactRecord size");
static_assert(!kThirtyTwoBit || offsetof(ContactRecord, contactKey) == 0, "ContactRecord::contactKey");
static_assert(!kThirtyTwoBit || offsetof(ContactRecord, checked) == 4, "ContactRecord::checked");
static_assert(!kThirtyTwoBit || offsetof(ContactRecord, personKey) == 8, "ContactRecord::personKey");
static_assert(!kThirtyTwoBit || offsetof(ContactRecord, deleted) == 12, "ContactRecord::deleted");
static_assert(!kThirtyTwoBit || offsetof(ContactRecord, displayName) == 16, "ContactRecord::displayName");
static_assert(!kThirtyTwoBit || offsetof(ContactRecord, displayNameSource) == 20, "ContactRecord::displayNameSource");
static_assert(!kThirtyTwoBit || offsetof(ContactRecord, sources) == 24, "ContactRecord::sources");
static_assert(!kThirtyTwoBit || offsetof(ContactRecord, next) == 28, "ContactRecord::next");

static_assert(!kThirtyTwoBit || sizeof(ContactExtraRecord) == 32, "ContactExtraRecord size");
static_assert(!kThirtyTwoBit || offsetof(ContactExtraRecord, rawContactKey) == 0, "ContactExtraRecord::rawContactKey");
static_assert(!kThirtyTwoBit || offsetof(ContactExtraRecord, checked) == 4, "ContactExtraRecord::checked");
static_assert(!kThirtyTwoBit || offsetof(ContactExtraRecord, contactKey) == 8, "ContactExtraRecord::contactKey");
static_assert(!kThirtyTwoBit || offsetof(ContactExtraRecord, markedDeleted) == 12, "ContactExtraRecord::markedDeleted");
static_assert(!kThirtyTwoBit || offsetof(ContactExtraRecord, displayName) == 16, "ContactExtraRecord::displayName");
static_assert(!kThirtyTwoBit || offsetof(ContactExtraRecord, displayNameSource) == 20,
              "ContactExtraRecord::displayNameSource");
static_assert(!kThirtyTwoBit || offsetof(ContactExtraRecord, accountKey) == 24, "ContactExtraRecord::accountKey");
static_assert(!kThirtyTwoBit || offsetof(ContactExtraRecord, next) == 28, "ContactExtraRecord::next");

static_assert(!kThirtyTwoBit || sizeof(DataRowRecord) == 84, "DataRowRecord size");
static_assert(!kThirtyTwoBit || offsetof(DataRowRecord, mimeTypeKey) == 0, "DataRowRecord::mimeTypeKey");
static_assert(!kThirtyTwoBit || offsetof(DataRowRecord, contactKey) == 4, "DataRowRecord::contactKey");
static_assert(!kThirtyTwoBit || offsetof(DataRowRecord, dataKey) == 8, "DataRowRecord::dataKey");
static_assert(!kThirtyTwoBit || offsetof(DataRowRecord, rawContactKey) == 12, "DataRowRecord::rawContactKey");
static_assert(!kThirtyTwoBit || offsetof(DataRowRecord, value) == 20, "DataRowRecord::value");
static_assert(!kThirtyTwoBit || offsetof(DataRowRecord, typeCode) == 24, "DataRowRecord::typeCode");
static_assert(!kThirtyTwoBit || offsetof(DataRowRecord, label) == 28, "DataRowRecord::label");
static_assert(!kThirtyTwoBit || offsetof(DataRowRecord, title) == 36, "DataRowRecord::title");
static_assert(!kThirtyTwoBit || offsetof(DataRowRecord, department) == 40, "DataRowRecord::department");
static_assert(!kThirtyTwoBit || offsetof(DataRowRecord, givenName) == 44, "DataRowRecord::givenName");
static_assert(!kThirtyTwoBit || offsetof(DataRowRecord, familyName) == 48, "DataRowRecord::familyName");
static_assert(!kThirtyTwoBit || offsetof(DataRowRecord, next) == 80, "DataRowRecord::next");

static_assert(!kThirtyTwoBit || sizeof(MimeTypeRecord) == 12, "MimeTypeRecord size");
static_assert(!kThirtyTwoBit || offsetof(MimeTypeRecord, key) == 0, "MimeTypeRecord::key");
static_assert(!kThirtyTwoBit || offsetof(MimeTypeRecord, mimeType) == 4, "MimeTypeRecord::mimeType");
static_assert(!kThirtyTwoBit || offsetof(MimeTypeRecord, next) == 8, "MimeTypeRecord::next");

static_assert(!kThirtyTwoBit || sizeof(ConversationRecord) == 44, "ConversationRecord size");
static_assert(!kThirtyTwoBit || offsetof(ConversationRecord, threadKey) == 0, "ConversationRecord::threadKey");
static_assert(!kThirtyTwoBit || offsetof(ConversationRecord, checked) == 4, "ConversationRecord::checked");
static_assert(!kThirtyTwoBit || offsetof(ConversationRecord, messageCount) == 8, "ConversationRecord::messageCount");
static_assert(!kThirtyTwoBit || offsetof(ConversationRecord, sources) == 12, "ConversationRecord::sources");
static_assert(!kThirtyTwoBit || offsetof(ConversationRecord, deletedCount) == 16, "ConversationRecord::deletedCount");
static_assert(!kThirtyTwoBit || offsetof(ConversationRecord, loose) == 20, "ConversationRecord::loose");
static_assert(!kThirtyTwoBit || offsetof(ConversationRecord, deleted) == 32, "ConversationRecord::deleted");
static_assert(!kThirtyTwoBit || offsetof(ConversationRecord, next) == 40, "ConversationRecord::next");

static_assert(!kThirtyTwoBit || sizeof(MessageRecord) == 52, "MessageRecord size");
static_assert(!kThirtyTwoBit || offsetof(MessageRecord, messageKey) == 0, "MessageRecord::messageKey");
static_assert(!kThirtyTwoBit || offsetof(MessageRecord, threadKey) == 4, "MessageRecord::threadKey");
static_assert(!kThirtyTwoBit || offsetof(MessageRecord, address) == 8, "MessageRecord::address");
static_assert(!kThirtyTwoBit || offsetof(MessageRecord, personKey) == 12, "MessageRecord::personKey");
static_assert(!kThirtyTwoBit || offsetof(MessageRecord, timeText) == 16, "MessageRecord::timeText");
static_assert(!kThirtyTwoBit || offsetof(MessageRecord, typeCode) == 20, "MessageRecord::typeCode");
static_assert(!kThirtyTwoBit || offsetof(MessageRecord, dateMillis) == 24, "MessageRecord::dateMillis");
static_assert(!kThirtyTwoBit || offsetof(MessageRecord, direction) == 32, "MessageRecord::direction");
static_assert(!kThirtyTwoBit || offsetof(MessageRecord, sources) == 36, "MessageRecord::sources");
static_assert(!kThirtyTwoBit || offsetof(MessageRecord, body) == 40, "MessageRecord::body");
static_assert(!kThirtyTwoBit || offsetof(MessageRecord, recoveredLine) == 44, "MessageRecord::recoveredLine");
static_assert(!kThirtyTwoBit || offsetof(MessageRecord, next) == 48, "MessageRecord::next");

}  // namespace layout_check

}  // namespace phone
