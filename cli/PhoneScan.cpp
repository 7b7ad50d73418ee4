#include "cli/PhoneScan.h"

#include <string>

#include "engine/SqliteParse.h"

namespace cli {

namespace {

// The scan's progress as a text bar that rewrites its own line.
class ProgressBar : public phone::ScanSink {
 public:
  explicit ProgressBar(std::ostream& out, ScanSummary& summary) : out_(out), summary_(summary) {}
  ~ProgressBar() override {
    if (shown_) out_ << "\n";
  }

  void progressPosition(int percent) override {
    if (percent == last_) return;
    last_ = percent;
    shown_ = true;
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    out_ << "\rScanning [" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << percent << "%" << std::flush;
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
    out_ << (shown_ ? "\n" : "") << "warning: " << copy << " could not be read whole: " << outcome.detail << "\n";
  }

 private:
  std::ostream& out_;
  ScanSummary& summary_;
  int last_ = -1;
  bool shown_ = false;
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
  {
    ProgressBar bar(progress_, summary);
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
