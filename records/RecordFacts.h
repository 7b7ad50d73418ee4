#pragma once
// The records as plain facts for the exports that people read outside this
// program, the spreadsheet and the report: who, which number, what kind,
// when, which way, what was said, and whether the record is live or was
// recovered and from where. Texts are UTF-8; bytes of a record text that
// are not UTF-8 become U+FFFD, so every text is well-formed.
//
// A contact carries its name and its details: each phone, e-mail and
// organisation row with its kind ("phone", "e-mail", "company"), its type
// label (TypeLabels.h; "Company" for an organisation) and its value. A
// live contact is named by its display name as stored, whatever it was
// made from (what the phone shows and the record list shows). A recovered
// contact's line is cut at its first TAB: the text before it is the name,
// the rest (further TABs included) one detail of unknown kind.
//
// A message carries the name of its contact (display name as stored): the
// first contact its person key names, else, as a phone names the sender
// of a text, the first contact (in list order) with a phone number of the
// same digits, else the first whose number and the address end in the
// same digits, at least 7 of them (a number saved without its country
// code); empty when none. Then its address, its box ("Inbox", "Sent", "Draft", ...), its date as ISO
// 8601 with the zone offset and as the time text the program shows, its
// direction and its body. A recovered message's line holds a name, a TAB,
// an address, a TAB and the body; it has no box, date or direction. When
// its name is missing ("N/A" or empty) it is named as a live message with
// its address would be.

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

// "live", "free space", "WAL", "journal", "index", "search index", "marked
// deleted", "freelist"; "unknown" for any other value.
std::string_view SourceName(std::int32_t source);

struct ContactDetail {
  std::string_view kind;  // "phone", "e-mail", "company"; empty when unknown
  std::string type;       // the type label; may be empty
  std::string value;
};

struct ContactFacts {
  bool deleted = false;
  std::string_view source;
  std::string name;
  std::vector<ContactDetail> details;
};

enum class Direction { kUnknown, kReceived, kSent };

// "received", "sent", or empty when unknown.
std::string_view DirectionName(Direction direction);

struct MessageFacts {
  bool deleted = false;
  std::string_view source;
  std::string name;
  std::string number;
  std::string type;
  std::string isoDate;   // empty when the message has no date
  std::string timeText;  // the same moment as the program shows it
  Direction direction = Direction::kUnknown;
  std::string body;
};

// The lookups over one export's records, made once.
class RecordFacts {
 public:
  explicit RecordFacts(const ExportRecords& records);

  ContactFacts LiveContact(const phone::ContactRecord& contact) const;
  static ContactFacts RecoveredContact(const phone::ContactRecord& contact);

  // The messages of a conversation in list order.
  const std::vector<const phone::MessageRecord*>& messagesOf(const phone::ConversationRecord& conversation) const;
  MessageFacts LiveMessage(const phone::MessageRecord& message) const;
  MessageFacts RecoveredMessage(const phone::ConversationRecord& message) const;

 private:
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
