#include "cli/PhoneScan.h"

#include <iostream>
#include <string>
#include <tuple>
#include <utility>

#include "platform/StandardStreams.h"

namespace cli {

void ProgressBar::finish() {
  if (shown_ && terminal_) out_ << "\n";
  shown_ = false;
}

void ProgressBar::progressPosition(int percent) {
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

void ProgressBar::copyProblem(const std::string& copy, const phone::ReadOutcome& outcome) {
  out_ << (shown_ && terminal_ ? "\n" : "") << "warning: " << copy << " could not be read whole: " << outcome.detail
       << "\n";
}

namespace {

template <typename Record>
int countList(const Record* head) {
  int count = 0;
  for (; head != nullptr; head = head->next) ++count;
  return count;
}

// The live and the deleted messages of the list, in one walk.
std::pair<int, int> countMessages(const phone::MessageRecord* head) {
  int live = 0;
  int deleted = 0;
  for (; head != nullptr; head = head->next) ++(phone::IsDeleted(*head) ? deleted : live);
  return {live, deleted};
}

}  // namespace

PhoneScan::PhoneScan(std::string contactsCopy, std::string smsCopy, std::ostream& progress)
    : bar_(progress, &progress == &std::cerr && platform::stderrIsTerminal()),
      pipeline_(records_, bar_, pauseGate_, stopFlag_) {
  pipeline_.setCopies(phone::CopyPaths{std::move(contactsCopy), std::move(smsCopy)});
}

ScanSummary PhoneScan::run() {
  pipeline_.Recover();
  pipeline_.Scan();
  bar_.finish();
  ScanSummary summary;
  summary.contactsCaption = pipeline_.contactsFindings().caption;
  summary.contactsLoaded = pipeline_.contactsFindings().holdsRecords;
  summary.messageCaption = pipeline_.messagesFindings().caption;
  summary.messagesLoaded = pipeline_.messagesFindings().holdsRecords;
  summary.copyUnreadable = pipeline_.copyUnreadable();
  summary.repairedTexts = records_.repairedTexts();
  summary.liveContacts = countList(records_.contactLists().contacts);
  summary.conversations = countList(records_.smsLists().conversations);
  std::tie(summary.liveMessages, summary.deletedMessages) = countMessages(records_.smsLists().messages);
  summary.deletedContacts = static_cast<int>(records_.recoveredContacts().size());
  return summary;
}
void PrintSummary(const ScanSummary& summary, std::ostream& out) {
  out << summary.contactsCaption << ": " << summary.liveContacts << " live contacts, "
      << summary.deletedContacts << " deleted records\n"
      << summary.messageCaption << ": " << summary.conversations << " conversations (" << summary.liveMessages
      << " live messages), " << summary.deletedMessages << " deleted messages\n";
  if (summary.repairedTexts > 0) {
    out << summary.repairedTexts << (summary.repairedTexts == 1 ? " text holds" : " texts hold")
        << " bytes that are not UTF-8; they are shown and written as U+FFFD\n";
  }
}

}  // namespace cli
