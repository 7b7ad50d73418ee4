#pragma once
// What `scan`, `export` and `demo` share: recover the deleted rows of two
// copies, then load live and recovered records as the program's scan does,
// with a progress bar on standard error.

#include <atomic>
#include <ostream>
#include <string>

#include "phone/PhoneRecords.h"
#include "phone/ScanWorkflow.h"
#include "platform/ManualResetEvent.h"

namespace cli {

struct ScanSummary {
  int liveContacts = 0;
  int deletedContactLines = 0;
  int conversations = 0;
  int liveMessages = 0;
  int deletedMessageLines = 0;
  std::string contactsCaption = phone::kContactsCategory;
  std::string messageCaption = phone::kMessageCategory;
  bool contactsLoaded = false;  // the category holds records
  bool messagesLoaded = false;
  bool copyUnreadable = false;  // a copy could not be read whole
};

class PhoneScan {
 public:
  PhoneScan(std::string contactsCopy, std::string smsCopy, std::ostream& progress);

  // Recovers and loads; returns what was found.
  ScanSummary run();
  // Whether the deep pass adds its lines to the session's (on by default).
  void setDeepRecovery(bool on) { deep_ = on; }

  phone::PhoneRecords& records() { return records_; }
  const std::string& deletedContactsText() const { return deletedContacts_; }
  const std::string& deletedMessagesText() const { return deletedMessages_; }
  platform::ManualResetEvent& pauseGate() { return pauseGate_; }
  std::atomic<int>& stopFlag() { return stopFlag_; }

 private:
  std::string contactsCopy_;
  std::string smsCopy_;
  std::ostream& progress_;
  std::string deletedContacts_;
  std::string deletedMessages_;
  phone::PhoneRecords records_;
  platform::ManualResetEvent pauseGate_{true};
  std::atomic<int> stopFlag_{0};
  bool deep_ = true;
};

// Prints the per-category counts.
void PrintSummary(const ScanSummary& summary, std::ostream& out);

}  // namespace cli
