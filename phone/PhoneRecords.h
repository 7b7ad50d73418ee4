#pragma once
// Every phone record of one scan: the live lists read from the two copies
// and the deleted records made from what the recovery found, all owned here
// and released together by ClearRecords (Back, close).
//
// Deleted records are whole: a deleted contact with all its values (its
// data rows in a list of their own), a deleted message in its conversation
// at its time (linked into the message list; the conversations that only
// deleted messages hold in a list of their own). They are made from the
// recovered rows (DeletedContactAssembly.h, DeletedMessagePlacement.h) or,
// for carving alone, from the lines of the recovered-record text
// (DeletedRecordImport.h).
//
// The scan's counting and loading passes each read a copy afresh: reading a
// copy again releases the live records of the previous read of that copy,
// and forgets the deleted records of that kind, so the heads handed out
// before must be forgotten then.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/RecoveredRows.h"
#include "phone/DeletedRecordImport.h"
#include "phone/LiveRecordReader.h"
#include "phone/RecordArena.h"
#include "phone/RecordLayouts.h"

namespace phone {

// The heads of the live contact lists (null for an empty list), and of the
// list of the deleted contacts' values.
struct ContactLists {
  ContactExtraRecord* extras = nullptr;
  ContactRecord* contacts = nullptr;
  DataRowRecord* dataRows = nullptr;
  MimeTypeRecord* mimeTypes = nullptr;
  DataRowRecord* deletedDataRows = nullptr;
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

  // Makes the deleted contacts of the recovered rows (after ReadContacts of
  // the same copy); each row is one progress unit. Returns the number of
  // contacts made.
  std::size_t ImportDeletedContacts(const std::vector<engine::RecoveredContactRow>& rows,
                                    const ProgressUnit& onRow);
  // Places the deleted messages of the recovered rows (after ReadSms of the
  // same copy); each row is one progress unit. Returns the number of
  // messages placed.
  std::size_t ImportDeletedMessages(const std::vector<engine::RecoveredMessageRow>& rows,
                                    const ProgressUnit& onRow);

  // Carving alone: one deleted contact, or message, per line of a
  // recovered-record text; returns the number of records made.
  std::size_t ImportRecoveredContacts(std::string_view text, const ProgressUnit& onRecord);
  std::size_t ImportRecoveredMessages(std::string_view text, const ProgressUnit& onRecord);

  // Releases every record, live and recovered, and empties every list.
  void ClearRecords();

  const ContactLists& contactLists() const { return contactLists_; }
  const SmsLists& smsLists() const { return smsLists_; }
  // The deleted contacts, and the list of their values.
  const std::vector<ContactRecord*>& recoveredContacts() const { return recoveredContacts_; }
  DataRowRecord* recoveredDataRows() const { return contactLists_.deletedDataRows; }
  // The conversations only deleted messages hold, the one of messages
  // without a conversation last.
  const std::vector<ConversationRecord*>& recoveredConversations() const { return recoveredConversations_; }

  // Live texts of the last reads that held bytes that are not UTF-8 (they
  // read with U+FFFD).
  std::size_t repairedTexts() const { return contactsRepaired_ + smsRepaired_; }

 private:
  void forgetDeletedContacts();
  void forgetDeletedMessages();

  RecordArena contactArena_;
  RecordArena smsArena_;
  RecordArena recoveredArena_;
  ContactLists contactLists_;
  SmsLists smsLists_;
  std::vector<ContactRecord*> recoveredContacts_;
  std::vector<ConversationRecord*> recoveredConversations_;
  std::size_t contactsRepaired_ = 0;
  std::size_t smsRepaired_ = 0;
};

}  // namespace phone
