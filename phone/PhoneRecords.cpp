#include "phone/PhoneRecords.h"

#include <climits>
#include <unordered_set>

#include "phone/DeletedContactAssembly.h"
#include "phone/DeletedMessagePlacement.h"

namespace phone {

PhoneRecords::PhoneRecords(std::size_t liveLimit) : contactArena_(liveLimit), smsArena_(liveLimit) {}

ReadOutcome PhoneRecords::ReadContacts(const std::string& contactsPath) {
  forgetDeletedContacts();
  contactLists_ = ContactLists{};
  contactArena_.Clear();
  const ReadOutcome outcome = ReadContactsDb(contactsPath, contactArena_, &contactLists_.extras,
                                             &contactLists_.contacts, &contactLists_.dataRows, &contactLists_.mimeTypes);
  contactsRepaired_ = outcome.repairedTexts;
  return outcome;
}

ReadOutcome PhoneRecords::ReadSms(const std::string& smsPath) {
  forgetDeletedMessages();
  smsLists_ = SmsLists{};
  smsArena_.Clear();
  const ReadOutcome outcome = ReadSmsDb(smsPath, smsArena_, &smsLists_.conversations, &smsLists_.messages);
  smsRepaired_ = outcome.repairedTexts;
  return outcome;
}

std::size_t PhoneRecords::ImportDeletedContacts(const std::vector<engine::RecoveredContactRow>& rows,
                                                const ProgressUnit& onRow) {
  return AssembleDeletedContacts(rows, contactLists_, recoveredArena_, recoveredContacts_, &contactLists_.deletedDataRows, onRow);
}

std::size_t PhoneRecords::ImportDeletedMessages(const std::vector<engine::RecoveredMessageRow>& rows,
                                                const ProgressUnit& onRow) {
  return PlaceDeletedMessages(rows, smsLists_, recoveredArena_, recoveredConversations_, onRow);
}

std::size_t PhoneRecords::ImportRecoveredContacts(std::string_view text, const ProgressUnit& onRecord) {
  return phone::ImportRecoveredContacts(text, recoveredArena_, recoveredContacts_, &contactLists_.deletedDataRows, onRecord);
}

std::size_t PhoneRecords::ImportRecoveredMessages(std::string_view text, const ProgressUnit& onRecord) {
  if (CountLineEnds(text) == 0) return 0;
  auto* loose = recoveredArena_.NewRecord<ConversationRecord>();
  if (loose == nullptr) return 0;
  // A thread key no live message uses.
  std::unordered_set<std::int32_t> used;
  for (const MessageRecord* message = smsLists_.messages; message != nullptr; message = message->next) {
    used.insert(message->threadKey);
  }
  for (const ConversationRecord* conversation = smsLists_.conversations; conversation != nullptr;
       conversation = conversation->next) {
    used.insert(conversation->threadKey);
  }
  std::int32_t key = -1;
  while (used.count(key) != 0 && key > INT32_MIN) --key;
  loose->threadKey = key;
  loose->checked = 1;
  loose->deleted = 1;
  loose->loose = 1;
  recoveredConversations_.push_back(loose);
  return phone::ImportRecoveredMessages(text, recoveredArena_, *loose, &smsLists_.messages, onRecord);
}

void PhoneRecords::forgetDeletedContacts() {
  recoveredContacts_.clear();
  contactLists_.deletedDataRows = nullptr;
}

void PhoneRecords::forgetDeletedMessages() { recoveredConversations_.clear(); }

void PhoneRecords::ClearRecords() {
  contactLists_ = ContactLists{};
  smsLists_ = SmsLists{};
  recoveredContacts_.clear();
  recoveredContacts_.shrink_to_fit();
  recoveredConversations_.clear();
  recoveredConversations_.shrink_to_fit();
  contactsRepaired_ = smsRepaired_ = 0;
  contactArena_.Clear();
  smsArena_.Clear();
  recoveredArena_.Clear();
}

}  // namespace phone
