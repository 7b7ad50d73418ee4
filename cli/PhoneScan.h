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
#include "records/PhonePipeline.h"

namespace cli {

struct ScanSummary {
  int liveContacts = 0;
  int deletedContacts = 0;  // whole records (with --carve-only: lines)
  int conversations = 0;
  int liveMessages = 0;
  int deletedMessages = 0;  // in their conversations (with --carve-only: lines)
  std::string contactsCaption = phone::kContactsCategory;
  std::string messageCaption = phone::kMessageCategory;
  bool contactsLoaded = false;  // the category holds records
  bool messagesLoaded = false;
  bool copyUnreadable = false;  // a copy could not be read whole
  std::size_t repairedTexts = 0;  // texts with bytes that are not UTF-8 (shown and written as U+FFFD)
};

// The scan's progress as a text bar on a stream.
class ProgressBar : public records::PipelineSink {
 public:
  // On a terminal the bar redraws its own line; anywhere else (a log, a
  // pipe) it writes one line per tenth, so the output stays readable.
  ProgressBar(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}
  // Ends the bar's line on a terminal.
  void finish();

  void progressPosition(int percent) override;
  void categoryLoaded(const std::string&, const std::string&) override {}
  void copyProblem(const std::string& copy, const phone::ReadOutcome& outcome) override;

 private:
  std::ostream& out_;
  bool terminal_;
  int last_ = -1;
  bool shown_ = false;
};

class PhoneScan {
 public:
  PhoneScan(std::string contactsCopy, std::string smsCopy, std::ostream& progress);

  // Recovers and loads; returns what was found.
  ScanSummary run();
  // Whether the deep pass adds its lines to the session's (on by default).
  void setDeepRecovery(bool on) { pipeline_.setDeepRecovery(on); }

  records::PhonePipeline& pipeline() { return pipeline_; }
  std::atomic<int>& stopFlag() { return stopFlag_; }

 private:
  phone::PhoneRecords records_;
  platform::ManualResetEvent pauseGate_{true};
  std::atomic<int> stopFlag_{0};
  ProgressBar bar_;
  records::PhonePipeline pipeline_;
};

// Prints the per-category counts.
void PrintSummary(const ScanSummary& summary, std::ostream& out);

}  // namespace cli
