#include "records/RecordFacts.h"

#include "phone/MessageTime.h"
#include "platform/TextEncoding.h"
#include "records/SourceText.h"
#include "records/TypeLabels.h"

namespace records {

namespace {

std::string_view kindName(DetailKind kind) {
  return kind == DetailKind::kPhone ? "phone" : kind == DetailKind::kEmail ? "e-mail"
                                              : kind == DetailKind::kOrganization ? "company" : "";
}

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

Direction directionOf(const phone::MessageRecord& message) {
  if (message.direction == phone::kDirectionReceived) return Direction::kReceived;
  // A deleted message of no known type has no direction.
  if (phone::IsDeleted(message) && message.direction != phone::kDirectionSent) return Direction::kUnknown;
  return Direction::kSent;
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

std::string_view DirectionName(Direction direction) {
  return direction == Direction::kReceived ? "received" : direction == Direction::kSent ? "sent" : "";
}

RecordFacts::RecordFacts(const ExportRecords& records)
    : contacts_(records),
      messagesByThread_(MessagesByThreadOf(records.messages)),
      contactsByPerson_(ContactsByPersonOf(records.contacts)) {
  // Deleted contacts name senders too, after the live ones.
  for (const phone::ContactRecord* contact : records.recoveredContacts) {
    if (contact->personKey != 0) contactsByPerson_.emplace(contact->personKey, contact);
  }
  for (const phone::ContactRecord* contact = records.contacts; contact != nullptr; contact = contact->next) {
    addNumbers(*contact);
  }
  for (const phone::ContactRecord* contact : records.recoveredContacts) addNumbers(*contact);
}

void RecordFacts::addNumbers(const phone::ContactRecord& contact) {
  for (const phone::DataRowRecord* row : contacts_.rowsOf(contact.contactKey)) {
    if (contacts_.kindOf(*row) != DetailKind::kPhone) continue;
    std::string digits = digitsOf(row->value);
    if (digits.empty()) continue;
    contactByDigits_.emplace(digits, &contact);
    if (digits.size() >= kMatchDigits) {
      numbersByEnd_[digits.substr(digits.size() - kMatchDigits)].emplace_back(std::move(digits), &contact);
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

ContactFacts RecordFacts::Contact(const phone::ContactRecord& contact) const {
  ContactFacts facts;
  facts.deleted = contact.deleted != 0;
  facts.source = SourceNames(facts.deleted ? contact.sources : 0);
  facts.name = Utf8Text(contact.displayName);
  for (const phone::DataRowRecord* row : contacts_.rowsOf(contact.contactKey)) {
    const DetailKind kind = contacts_.kindOf(*row);
    if (!IsDetail(kind)) continue;
    facts.details.push_back(ContactDetail{kindName(kind), Utf8Text(DetailTypeName(kind, *row)), Utf8Text(row->value)});
  }
  return facts;
}

const std::vector<const phone::MessageRecord*>& RecordFacts::messagesOf(
    const phone::ConversationRecord& conversation) const {
  static const std::vector<const phone::MessageRecord*> kNone;
  const auto found = messagesByThread_.find(conversation.threadKey);
  return found == messagesByThread_.end() ? kNone : found->second;
}

MessageFacts RecordFacts::Message(const phone::MessageRecord& message) const {
  MessageFacts facts;
  facts.deleted = phone::IsDeleted(message);
  facts.source = SourceNames(message.sources);
  facts.name = SenderName(message);
  facts.number = Utf8Text(message.address);
  facts.type = Utf8Text(MessageTypeLabel(message.typeCode));
  facts.isoDate = phone::FormatIsoMessageTime(phone::MessageDateOf(message));
  facts.timeText = Utf8Text(message.timeText);
  facts.direction = directionOf(message);
  facts.body = Utf8Text(message.body);
  return facts;
}

std::string RecordFacts::SenderName(const phone::MessageRecord& message) const {
  const phone::ContactRecord* contact = contactOf(message);
  return contact != nullptr ? Utf8Text(contact->displayName) : std::string();
}

ConversationPeer RecordFacts::PeerOf(const phone::ConversationRecord& conversation) const {
  if (conversation.loose != 0) return ConversationPeer{kLooseConversationName, std::string()};
  // The first message that names the other party: a deleted one may not.
  const auto& messages = messagesOf(conversation);
  if (messages.empty()) return ConversationPeer{};
  const phone::MessageRecord* first = messages.front();
  for (const phone::MessageRecord* message : messages) {
    if (message->address != nullptr && message->address[0] != '\0') {
      first = message;
      break;
    }
  }
  const phone::ContactRecord* contact = contactOf(*first);
  return ConversationPeer{contact != nullptr ? Utf8Text(contact->displayName) : std::string(),
                          Utf8Text(first->address)};
}

}  // namespace records
