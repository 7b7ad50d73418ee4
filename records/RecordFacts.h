#pragma once
// The records as plain facts for the exports and views that show them the
// same way, live and deleted alike: who, which number, what kind, when,
// which way, what was said, and whether the record is live or was
// recovered and from where. Texts are UTF-8; bytes of a record text that
// are not UTF-8 become U+FFFD, so every text is well-formed.
//
// A contact carries its name (its display name as stored, what the phone
// and the record list show) and its details: each phone, e-mail and
// organisation row with its kind ("phone", "e-mail", "company"), the name
// of its type (every type Android has, a custom type by its own label; see
// TypeLabels.h) and its value. A value recovered as a line of text has no
// kind and no type.
//
// A message carries the name of its sender, looked up once here for every
// view and export: the contact its person key names (live contacts first,
// then deleted ones), else, as a phone names the sender of a text, the
// first contact (live ones in list order, then deleted ones) with a phone
// number of the same digits, else the first whose number and the address
// end in the same digits, at least 7 of them (a number saved without its
// country code); empty when none. Then its address, its box ("Inbox", "Sent", "Draft",
// ...), its date as ISO 8601 with the zone offset and as the time text the
// program shows, its direction and its body; a deleted message has what
// its row held of these.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "phone/RecordLayouts.h"
#include "records/ExportState.h"
#include "records/RecordIndex.h"

namespace records {

// A record text as well-formed UTF-8; null is empty.
std::string Utf8Text(const char* narrow);
std::string Utf8Text(std::string_view narrow);
std::string Utf8Text(std::u16string_view text);

// The name of the conversation of deleted messages that have no
// conversation (the search index's words, mostly).
constexpr char kLooseConversationName[] = "Recovered text without sender";

struct ContactDetail {
  std::string_view kind;  // "phone", "e-mail", "company"; empty when unknown
  std::string type;       // the name of its type; may be empty
  std::string value;
};

struct ContactFacts {
  bool deleted = false;
  std::string source;  // SourceNames
  std::string name;
  std::vector<ContactDetail> details;
};

enum class Direction { kUnknown, kReceived, kSent };

// "received", "sent", or empty when unknown.
std::string_view DirectionName(Direction direction);

struct MessageFacts {
  bool deleted = false;
  std::string source;  // SourceNames
  std::string name;
  std::string number;
  std::string type;
  std::string isoDate;   // empty when the message has no date
  std::string timeText;  // the same moment as the program shows it
  Direction direction = Direction::kUnknown;
  std::string body;
};

// Who a conversation is with: the sender's name of its first message and
// its number (both may be empty).
struct ConversationPeer {
  std::string name;
  std::string number;
};

// The lookups over one export's records, made once.
class RecordFacts {
 public:
  explicit RecordFacts(const ExportRecords& records);

  ContactFacts Contact(const phone::ContactRecord& contact) const;

  // The messages of a conversation in list order.
  const std::vector<const phone::MessageRecord*>& messagesOf(const phone::ConversationRecord& conversation) const;
  MessageFacts Message(const phone::MessageRecord& message) const;
  // The sender's name of a message alone (empty when unknown).
  std::string SenderName(const phone::MessageRecord& message) const;
  ConversationPeer PeerOf(const phone::ConversationRecord& conversation) const;

  const ContactIndex& contacts() const { return contacts_; }

 private:
  void addNumbers(const phone::ContactRecord& contact);
  const phone::ContactRecord* contactOf(const phone::MessageRecord& message) const;
  const phone::ContactRecord* contactWithNumber(const char* address) const;

  ContactIndex contacts_;
  MessagesByThread messagesByThread_;
  ContactsByPerson contactsByPerson_;
  // The contacts' phone numbers as digits: the first contact of each, and
  // every number under its last kMatchDigits digits.
  std::unordered_map<std::string, const phone::ContactRecord*> contactByDigits_;
  std::unordered_map<std::string, std::vector<std::pair<std::string, const phone::ContactRecord*>>> numbersByEnd_;
};

}  // namespace records
