#include "phone/ScanWorkflow.h"

#include <cstdio>

#include "platform/FileOperations.h"

namespace phone {

std::string CategoryCaption(const std::string& category, int loaded) {
  char caption[260];
  std::snprintf(caption, sizeof caption, "%s (%d)", category.c_str(), loaded);
  return caption;
}

ScanWorkflow::ScanWorkflow(PhoneRecords& records, ScanSink& sink, platform::ManualResetEvent& pauseGate,
                           const std::atomic<int>& stopFlag)
    : records_(records), sink_(sink), pauseGate_(pauseGate), stopFlag_(stopFlag) {}

void ScanWorkflow::setCopies(const std::string& contactsCopy, const std::string& smsCopy) {
  contactsCopy_ = contactsCopy;
  smsCopy_ = smsCopy;
}

void ScanWorkflow::setFindings(std::shared_ptr<const RecoveredFindings> findings) { findings_ = std::move(findings); }

void ScanWorkflow::setRecoveredTexts(std::string deletedContacts, std::string deletedMessages) {
  findings_ = RecoveredFindings::OfTexts(std::move(deletedContacts), std::move(deletedMessages));
}

// Reads a copy; false when there is none. A copy without live records may
// still hold deleted ones.
bool ScanWorkflow::ReadContactsCopy() {
  if (!platform::fileExists(contactsCopy_)) return false;
  const ReadOutcome outcome = records_.ReadContacts(contactsCopy_);
  if (outcome.status != ReadStatus::kRead) sink_.copyProblem(contactsCopy_, outcome);
  return true;
}

bool ScanWorkflow::ReadSmsCopy() {
  if (!platform::fileExists(smsCopy_)) return false;
  const ReadOutcome outcome = records_.ReadSms(smsCopy_);
  if (outcome.status != ReadStatus::kRead) sink_.copyProblem(smsCopy_, outcome);
  return true;
}

std::size_t ScanWorkflow::importDeletedContacts() {
  if (!findings_) return 0;
  const auto unit = [this] { advanceProgress(); };
  if (findings_->asRows) return records_.ImportDeletedContacts(findings_->rows.contacts, unit);
  return records_.ImportRecoveredContacts(findings_->contactsText, unit);
}

std::size_t ScanWorkflow::importDeletedMessages() {
  if (!findings_) return 0;
  const auto unit = [this] { advanceProgress(); };
  if (findings_->asRows) return records_.ImportDeletedMessages(findings_->rows.messages, unit);
  return records_.ImportRecoveredMessages(findings_->messagesText, unit);
}

void ScanWorkflow::advanceProgress() {
  ++progressCount_;
  // The total is at least the count while loading; the guard keeps a
  // miscounted total from dividing by zero.
  const long long total = progressTotal_ > 0 ? progressTotal_ : 1;
  sink_.progressPosition(static_cast<int>(static_cast<long long>(progressCount_) * 100 / total));
}

int ScanWorkflow::LoadContacts(bool counting) {
  if (!ReadContactsCopy()) return 0;
  int result = 0;
  if (counting) {
    for (ContactRecord* contact = records_.contactLists().contacts; contact != nullptr; contact = contact->next) {
      contact->checked = 1;
      ++progressTotal_;
      ++result;
    }
    const int deleted = findings_ ? static_cast<int>(findings_->contactUnits()) : 0;
    progressTotal_ += deleted;
    return result + deleted;
  }
  for (ContactRecord* contact = records_.contactLists().contacts; contact != nullptr; contact = contact->next) {
    pauseGate_.wait();
    if (stopped()) {
      if (result > 0) sink_.categoryLoaded(kContactsCategory, CategoryCaption(kContactsCategory, result));
      return -1;
    }
    contact->checked = 1;
    ++result;
    advanceProgress();
  }
  result += static_cast<int>(importDeletedContacts());
  if (result > 0) sink_.categoryLoaded(kContactsCategory, CategoryCaption(kContactsCategory, result));
  return result;
}

int ScanWorkflow::LoadMessages(bool counting) {
  if (!ReadSmsCopy()) return 0;
  int result = 0;
  if (counting) {
    for (ConversationRecord* conversation = records_.smsLists().conversations; conversation != nullptr;
         conversation = conversation->next) {
      conversation->checked = 1;
      ++progressTotal_;
      ++result;
    }
    const int deleted = findings_ ? static_cast<int>(findings_->messageUnits()) : 0;
    progressTotal_ += deleted;
    return result + deleted;
  }
  // Messages pause once, before the first conversation; stop is tested
  // before each.
  pauseGate_.wait();
  for (ConversationRecord* conversation = records_.smsLists().conversations; conversation != nullptr;
       conversation = conversation->next) {
    if (stopped()) {
      if (result > 0) sink_.categoryLoaded(kMessageCategory, CategoryCaption(kMessageCategory, result));
      return -1;
    }
    conversation->checked = 1;
    ++result;
    advanceProgress();
  }
  result += static_cast<int>(importDeletedMessages());
  if (result > 0) sink_.categoryLoaded(kMessageCategory, CategoryCaption(kMessageCategory, result));
  return result;
}

void ScanWorkflow::ScanThreadProc() {
  const int contacts = LoadContacts(true);
  const int messages = LoadMessages(true);
  sink_.countingDone();
  if (contacts != 0 && LoadContacts(false) == -1) return;
  if (messages != 0) LoadMessages(false);
}

}  // namespace phone
