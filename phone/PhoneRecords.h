#pragma once
// Every phone record of one scan: the live lists read from the two copies
// and the deleted records imported from the two recovered-record texts, all
// owned here and released together by ClearRecords (Back, close).
//
// The scan's counting and loading passes each read a copy afresh: reading a
// copy again releases the live records of the previous read of that copy,
// so the heads handed out before must be forgotten then. Deleted records are
// appended to the recovered lists until ClearRecords.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "phone/DeletedRecordImport.h"
#include "phone/LiveRecordReader.h"
#include "phone/RecordArena.h"
#include "phone/RecordLayouts.h"

namespace phone {

// The heads of the live contact lists (null for an empty list).
struct ContactLists {
  ContactExtraRecord* extras = nullptr;
  ContactRecord* contacts = nullptr;
  DataRowRecord* dataRows = nullptr;
  MimeTypeRecord* mimeTypes = nullptr;
};

// The heads of the live SMS lists (null for an empty list).
struct SmsLists {
  ConversationRecord* conversations = nullptr;
  MessageRecord* messages = nullptr;
};

class PhoneRecords {
 public:
  // Live records of each copy are limited to this many bytes, so that a
  // hostile copy cannot exhaust memory (a large phone needs a few MiB).
  static constexpr std::size_t kDefaultLiveLimit = 128 * 1024 * 1024;

  explicit PhoneRecords(std::size_t liveLimit = kDefaultLiveLimit);
  PhoneRecords(const PhoneRecords&) = delete;
  PhoneRecords& operator=(const PhoneRecords&) = delete;

  // Reads the contacts copy, replacing the live contact lists.
  ReadOutcome ReadContacts(const std::string& contactsPath);
  // Reads the SMS copy, replacing the live SMS lists.
  ReadOutcome ReadSms(const std::string& smsPath);

  // Imports a deleted-contacts text into the recovered contacts; returns the
  // number of records made.
  std::size_t ImportRecoveredContacts(std::string_view text, const ProgressUnit& onRecord);
  // Imports a deleted-messages text into the recovered messages; returns the
  // number of records made.
  std::size_t ImportRecoveredMessages(std::string_view text, const ProgressUnit& onRecord);

  // Releases every record, live and recovered, and empties every list.
  void ClearRecords();

  const ContactLists& contactLists() const { return contactLists_; }
  const SmsLists& smsLists() const { return smsLists_; }
  const std::vector<ContactRecord*>& recoveredContacts() const { return recoveredContacts_; }
  const std::vector<ConversationRecord*>& recoveredMessages() const { return recoveredMessages_; }

 private:
  RecordArena contactArena_;
  RecordArena smsArena_;
  RecordArena recoveredArena_;
  ContactLists contactLists_;
  SmsLists smsLists_;
  std::vector<ContactRecord*> recoveredContacts_;
  std::vector<ConversationRecord*> recoveredMessages_;
};

}  // namespace phone
