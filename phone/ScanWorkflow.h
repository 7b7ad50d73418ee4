#pragma once
// The scan: after the deleted rows of both copies were recovered, count
// every record that will be loaded, then load the live records and make the
// deleted ones category by category, moving the progress position and
// honouring pause and stop.
//
// A category's caption counts its live records (contacts; conversations)
// and the deleted records made (contacts; messages). Deleted records are
// made also when a copy has no live record of their kind.
//
// The window drives it on its scan worker; the command line runs it
// directly. What the window would receive goes through a ScanSink.

#include <atomic>
#include <memory>
#include <string>

#include "phone/PhoneRecords.h"
#include "phone/RecoveredFindings.h"
#include "platform/ManualResetEvent.h"

namespace phone {

// What a scan tells the one who shows it.
class ScanSink {
 public:
  virtual ~ScanSink() = default;
  // New position of the progress bar, 0 to 100 (count * 100 / total).
  virtual void progressPosition(int percent) = 0;
  // Counting is done: Pause and Stop may now be offered.
  virtual void countingDone() {}
  // A category holds records: its caption, e.g. "Contacts (12)".
  virtual void categoryLoaded(const std::string& category, const std::string& caption) = 0;
  // A copy could not be read whole: what went wrong, for a notice.
  virtual void copyProblem(const std::string& /*copy*/, const ReadOutcome& /*outcome*/) {}
};

constexpr const char* kContactsCategory = "Contacts";
constexpr const char* kMessageCategory = "Message";

// The caption of a category with its number of loaded records: "%s (%d)".
std::string CategoryCaption(const std::string& category, int loaded);

class ScanWorkflow {
 public:
  ScanWorkflow(PhoneRecords& records, ScanSink& sink, platform::ManualResetEvent& pauseGate,
               const std::atomic<int>& stopFlag);

  // The copies and what the last recovery found in them.
  void setCopies(const std::string& contactsCopy, const std::string& smsCopy);
  void setFindings(std::shared_ptr<const RecoveredFindings> findings);
  // Carving alone: the two recovered-record texts.
  void setRecoveredTexts(std::string deletedContacts, std::string deletedMessages);

  // Counting (counting = true): how many records loading will load.
  // Loading: how many were loaded, or -1 when stopped.
  int LoadContacts(bool counting);
  int LoadMessages(bool counting);

  // The whole scan, as the scan worker runs it: count both categories, then
  // load them; a stop during contacts skips the messages.
  void ScanThreadProc();

  int progressTotal() const { return progressTotal_; }
  int progressCount() const { return progressCount_; }

 private:
  bool ReadContactsCopy();
  bool ReadSmsCopy();
  std::size_t importDeletedContacts();
  std::size_t importDeletedMessages();
  void advanceProgress();
  bool stopped() const { return stopFlag_.load() != 0; }

  PhoneRecords& records_;
  ScanSink& sink_;
  platform::ManualResetEvent& pauseGate_;
  const std::atomic<int>& stopFlag_;
  std::string contactsCopy_;
  std::string smsCopy_;
  std::shared_ptr<const RecoveredFindings> findings_;
  int progressTotal_ = 0;
  int progressCount_ = 0;
};

}  // namespace phone
