#include "cli/PhoneScan.h"

#include <iostream>
#include <string>

#include "deep/DeepRecovery.h"
#include "engine/SqliteParse.h"
#include "platform/StandardStreams.h"

namespace cli {

namespace {

// The scan's progress as a text bar on standard error.
class ProgressBar : public phone::ScanSink {
 public:
  // On a terminal the bar redraws its own line; anywhere else (a log, a
  // pipe) it writes one line per tenth, so the output stays readable.
  ProgressBar(std::ostream& out, ScanSummary& summary, bool terminal)
      : out_(out), summary_(summary), terminal_(terminal) {}
  ~ProgressBar() override {
    if (shown_ && terminal_) out_ << "\n";
  }

  void progressPosition(int percent) override {
    if (percent == last_) return;
    if (!terminal_ && (percent / 10 == last_ / 10 && last_ >= 0)) return;
    last_ = percent;
    shown_ = true;
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    const std::string bar = "Scanning [" + std::string(static_cast<std::size_t>(filled), '#') +
                            std::string(static_cast<std::size_t>(kWidth - filled), ' ') + "] " +
                            std::to_string(percent) + "%";
    if (terminal_) {
      out_ << "\r" << bar << std::flush;
    } else {
      out_ << bar << "\n";
    }
  }
  void categoryLoaded(const std::string& category, const std::string& caption) override {
    if (category == phone::kContactsCategory) {
      summary_.contactsCaption = caption;
      summary_.contactsLoaded = true;
    }
    if (category == phone::kMessageCategory) {
      summary_.messageCaption = caption;
      summary_.messagesLoaded = true;
    }
  }
  void copyProblem(const std::string& copy, const phone::ReadOutcome& outcome) override {
    summary_.copyUnreadable = true;
    out_ << (shown_ && terminal_ ? "\n" : "") << "warning: " << copy << " could not be read whole: " << outcome.detail << "\n";
  }

 private:
  std::ostream& out_;
  ScanSummary& summary_;
  int last_ = -1;
  bool shown_ = false;
  bool terminal_;
};

template <typename Record>
int countList(const Record* head) {
  int count = 0;
  for (; head != nullptr; head = head->next) ++count;
  return count;
}

std::string recover(const std::string& contacts, const std::string& sms, ePaserType kind) {
  SqliteParse session(contacts, sms);
  session.startParse(kind);
  return session.get_contacts_mem();
}

}  // namespace

PhoneScan::PhoneScan(std::string contactsCopy, std::string smsCopy, std::ostream& progress)
    : contactsCopy_(std::move(contactsCopy)), smsCopy_(std::move(smsCopy)), progress_(progress) {}

ScanSummary PhoneScan::run() {
  ScanSummary summary;
  deletedContacts_ = recover(contactsCopy_, smsCopy_, eContacts);
  deletedMessages_ = recover(contactsCopy_, smsCopy_, eSms);
  if (deep_) {
    deletedContacts_ = deep::WithDeepLines(contactsCopy_, smsCopy_, eContacts, deletedContacts_);
    deletedMessages_ = deep::WithDeepLines(contactsCopy_, smsCopy_, eSms, deletedMessages_);
  }
  {
    ProgressBar bar(progress_, summary, &progress_ == &std::cerr && platform::stderrIsTerminal());
    phone::ScanWorkflow scan(records_, bar, pauseGate_, stopFlag_);
    scan.setCopies(contactsCopy_, smsCopy_);
    scan.setRecoveredTexts(deletedContacts_, deletedMessages_);
    scan.ScanThreadProc();
  }
  summary.liveContacts = countList(records_.contactLists().contacts);
  summary.conversations = countList(records_.smsLists().conversations);
  summary.liveMessages = countList(records_.smsLists().messages);
  summary.deletedContactLines = static_cast<int>(records_.recoveredContacts().size());
  summary.deletedMessageLines = static_cast<int>(records_.recoveredMessages().size());
  return summary;
}

void PrintSummary(const ScanSummary& summary, std::ostream& out) {
  out << summary.contactsCaption << ": " << summary.liveContacts << " live contacts, "
      << summary.deletedContactLines << " deleted records\n"
      << summary.messageCaption << ": " << summary.conversations << " conversations (" << summary.liveMessages
      << " live messages), " << summary.deletedMessageLines << " deleted messages\n";
}

}  // namespace cli
