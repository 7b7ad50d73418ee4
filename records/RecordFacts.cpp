#include "records/RecordFacts.h"

#include <iterator>

#include "phone/MessageTime.h"
#include "platform/TextEncoding.h"
#include "records/TypeLabels.h"

namespace records {

namespace {

std::string_view kindName(DetailKind kind) {
  return kind == DetailKind::kPhone ? "phone" : kind == DetailKind::kEmail ? "e-mail"
                                              : kind == DetailKind::kOrganization ? "company" : "";
}

// What the recovered-record text holds for a value it does not have.
constexpr std::string_view kMissingValue = "N/A";

// Numbers that end in this many digits and more are taken for the same
// number (as a phone matches a sender to a contact).
constexpr std::size_t kMatchDigits = 7;

std::string digitsOf(const char* number) {
  std::string digits;
  for (const char* c = number; c != nullptr && *c != '\0'; ++c) {
    if (*c >= '0' && *c <= '9') digits += *c;
  }
  return digits;
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The fields of a recovered line cut at its first `count` - 1 TABs; the
// last field keeps any further TABs, fields past the line's end are empty.
std::vector<std::string_view> fieldsOf(const char* line, std::size_t count) {
  std::vector<std::string_view> fields(count);
  std::string_view rest = line == nullptr ? std::string_view() : std::string_view(line);
  for (std::size_t field = 0; field + 1 < count; ++field) {
    const std::size_t tab = rest.find('\t');
    if (tab == std::string_view::npos) {
      fields[field] = rest;
      return fields;
    }
    fields[field] = rest.substr(0, tab);
    rest.remove_prefix(tab + 1);
  }
  fields[count - 1] = rest;
  return fields;
}

}  // namespace

std::string Utf8Text(std::string_view narrow) {
  // Narrow text is UTF-8; only a text with bad bytes needs the round trip
  // that turns them into U+FFFD.
  if (platform::isValidUtf8(narrow)) return std::string(narrow);
  return platform::utf8FromUtf16(platform::utf16FromNarrow(narrow));
}

std::string Utf8Text(const char* narrow) {
  return narrow == nullptr ? std::string() : Utf8Text(std::string_view(narrow));
}

std::string Utf8Text(std::u16string_view text) { return platform::utf8FromUtf16(text); }

std::string_view SourceName(std::int32_t source) {
  // Indexed by RecordSource.
  static constexpr std::string_view kNames[] = {
      "live", "free space", "WAL", "journal", "index", "search index", "marked deleted", "freelist",
  };
  static_assert(std::size(kNames) == phone::kSourceFreelist + 1, "a name for every source");
  if (source < 0 || static_cast<std::size_t>(source) >= std::size(kNames)) return "unknown";
  return kNames[source];
}

std::string_view DirectionName(Direction direction) {
  return direction == Direction::kReceived ? "received" : direction == Direction::kSent ? "sent" : "";
}

RecordFacts::RecordFacts(const ExportRecords& records)
    : contacts_(records),
      messagesByThread_(MessagesByThreadOf(records.messages)),
      contactsByPerson_(ContactsByPersonOf(records.contacts)) {
  for (const phone::ContactRecord* contact = records.contacts; contact != nullptr; contact = contact->next) {
    for (const phone::DataRowRecord* row : contacts_.rowsOf(contact->contactKey)) {
      if (contacts_.kindOf(*row) != DetailKind::kPhone) continue;
      std::string digits = digitsOf(row->value);
      if (digits.empty()) continue;
      contactByDigits_.emplace(digits, contact);
      if (digits.size() >= kMatchDigits) {
        numbersByEnd_[digits.substr(digits.size() - kMatchDigits)].emplace_back(std::move(digits), contact);
      }
    }
  }
}

const phone::ContactRecord* RecordFacts::contactOf(const phone::MessageRecord& message) const {
  if (const phone::ContactRecord* contact = ContactOf(message, contactsByPerson_)) return contact;
  return contactWithNumber(message.address);
}

const phone::ContactRecord* RecordFacts::contactWithNumber(const char* address) const {
  const std::string digits = digitsOf(address);
  if (digits.empty()) return nullptr;
  const auto same = contactByDigits_.find(digits);
  if (same != contactByDigits_.end()) return same->second;
  if (digits.size() < kMatchDigits) return nullptr;
  const auto candidates = numbersByEnd_.find(digits.substr(digits.size() - kMatchDigits));
  if (candidates == numbersByEnd_.end()) return nullptr;
  for (const auto& [number, contact] : candidates->second) {
    if (endsWith(number, digits) || endsWith(digits, number)) return contact;
  }
  return nullptr;
}

ContactFacts RecordFacts::LiveContact(const phone::ContactRecord& contact) const {
  ContactFacts facts;
  facts.source = SourceName(contact.source);
  facts.name = Utf8Text(contact.displayName);
  for (const phone::DataRowRecord* row : contacts_.rowsOf(contact.contactKey)) {
    const DetailKind kind = contacts_.kindOf(*row);
    if (kind == DetailKind::kOther) continue;
    facts.details.push_back(ContactDetail{kindName(kind), Utf8Text(DetailLabel(kind, *row)), Utf8Text(row->value)});
  }
  return facts;
}

ContactFacts RecordFacts::RecoveredContact(const phone::ContactRecord& contact) {
  ContactFacts facts;
  facts.deleted = true;
  facts.source = SourceName(contact.source);
  const auto fields = fieldsOf(contact.displayName, 2);
  facts.name = Utf8Text(fields[0]);
  facts.details.push_back(ContactDetail{std::string_view(), std::string(), Utf8Text(fields[1])});
  return facts;
}

const std::vector<const phone::MessageRecord*>& RecordFacts::messagesOf(
    const phone::ConversationRecord& conversation) const {
  static const std::vector<const phone::MessageRecord*> kNone;
  const auto found = messagesByThread_.find(conversation.threadKey);
  return found == messagesByThread_.end() ? kNone : found->second;
}

MessageFacts RecordFacts::LiveMessage(const phone::MessageRecord& message) const {
  MessageFacts facts;
  facts.source = SourceName(phone::kSourceLive);
  if (const phone::ContactRecord* contact = contactOf(message)) facts.name = Utf8Text(contact->displayName);
  facts.number = Utf8Text(message.address);
  facts.type = Utf8Text(MessageTypeLabel(message.typeCode));
  facts.isoDate = phone::FormatIsoMessageTime(phone::MessageDateOf(message));
  facts.timeText = Utf8Text(message.timeText);
  facts.direction = message.direction == phone::kDirectionReceived ? Direction::kReceived : Direction::kSent;
  facts.body = Utf8Text(message.body);
  return facts;
}

MessageFacts RecordFacts::RecoveredMessage(const phone::ConversationRecord& message) const {
  MessageFacts facts;
  facts.deleted = true;
  facts.source = SourceName(message.source);
  const auto fields = fieldsOf(message.recoveredText, 3);
  facts.name = Utf8Text(fields[0]);
  facts.number = Utf8Text(fields[1]);
  facts.body = Utf8Text(fields[2]);
  if (facts.name.empty() || facts.name == kMissingValue) {
    const phone::ContactRecord* contact = contactWithNumber(std::string(fields[1]).c_str());
    facts.name = contact != nullptr ? Utf8Text(contact->displayName) : std::string();
  }
  return facts;
}

}  // namespace records
