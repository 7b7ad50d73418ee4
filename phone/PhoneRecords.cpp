#include "phone/PhoneRecords.h"

namespace phone {

PhoneRecords::PhoneRecords(std::size_t liveLimit) : contactArena_(liveLimit), smsArena_(liveLimit) {}

ReadOutcome PhoneRecords::ReadContacts(const std::string& contactsPath) {
  contactLists_ = ContactLists{};
  contactArena_.Clear();
  return ReadContactsDb(contactsPath, contactArena_, &contactLists_.extras, &contactLists_.contacts,
                        &contactLists_.dataRows, &contactLists_.mimeTypes);
}

ReadOutcome PhoneRecords::ReadSms(const std::string& smsPath) {
  smsLists_ = SmsLists{};
  smsArena_.Clear();
  return ReadSmsDb(smsPath, smsArena_, &smsLists_.conversations, &smsLists_.messages);
}

std::size_t PhoneRecords::ImportRecoveredContacts(std::string_view text, const ProgressUnit& onRecord) {
  return phone::ImportRecoveredContacts(text, recoveredArena_, recoveredContacts_, onRecord);
}

std::size_t PhoneRecords::ImportRecoveredMessages(std::string_view text, const ProgressUnit& onRecord) {
  return phone::ImportRecoveredMessages(text, recoveredArena_, recoveredMessages_, onRecord);
}

void PhoneRecords::ClearRecords() {
  contactLists_ = ContactLists{};
  smsLists_ = SmsLists{};
  recoveredContacts_.clear();
  recoveredContacts_.shrink_to_fit();
  recoveredMessages_.clear();
  recoveredMessages_.shrink_to_fit();
  contactArena_.Clear();
  smsArena_.Clear();
  recoveredArena_.Clear();
}

}  // namespace phone
