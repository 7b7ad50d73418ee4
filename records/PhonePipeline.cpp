#include "records/PhonePipeline.h"

#include <utility>

#include "deep/DeepRecovery.h"
#include "engine/SessionRows.h"
#include "engine/SqliteParse.h"

namespace records {

namespace {

// One recovery session: it lives for one run and hands back its text.
std::string recoverText(const phone::CopyPaths& copies, ePaserType kind) {
  SqliteParse session(copies.contacts, copies.sms);
  session.startParse(kind);
  return session.get_contacts_mem();
}

template <typename Row>
void append(std::vector<Row>& rows, std::vector<Row>&& more) {
  rows.insert(rows.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

// The rows of both recoveries, the session's first: the records are made
// from them.
engine::RecoveredRows recoverRows(const phone::CopyPaths& copies) {
  engine::RecoveredRows rows;
  {
    SqliteParse session(copies.contacts, copies.sms);
    session.startParse(eContacts);
    rows.contacts = engine::ContactRowsOf(session.carvedContacts());
  }
  append(rows.contacts, deep::RecoverDeepContactRows(copies.contacts));
  {
    SqliteParse session(copies.contacts, copies.sms);
    session.startParse(eSms);
    rows.messages = engine::MessageRowsOf(session.carvedSms());
  }
  std::vector<std::string> sessionBodies;
  sessionBodies.reserve(rows.messages.size());
  for (const engine::RecoveredMessageRow& row : rows.messages) sessionBodies.push_back(row.body);
  append(rows.messages, deep::RecoverDeepMessageRows(copies.sms, sessionBodies));
  return rows;
}

}  // namespace

PhonePipeline::PhonePipeline(phone::PhoneRecords& records, PipelineSink& sink, platform::ManualResetEvent& pauseGate,
                             std::atomic<int>& stopFlag)
    : records_(records), sink_(sink), pauseGate_(pauseGate), stopFlag_(stopFlag) {}

bool PhonePipeline::Acquire(phone::AcquisitionSettings settings, const phone::StepObserver& onStep) {
  settings.copies = copies_;
  settings.stopFlag = &stopFlag_;
  phone::AcquireThreadProc(settings, nullptr, onStep);
  return phone::AnyCopyExists(copies_);
}

std::shared_ptr<const phone::RecoveredFindings> RecoverFindings(const phone::CopyPaths& copies, bool deep) {
  if (deep) return phone::RecoveredFindings::OfRows(recoverRows(copies));
  return phone::RecoveredFindings::OfTexts(recoverText(copies, eContacts), recoverText(copies, eSms));
}

void PhonePipeline::Recover() { findings_ = RecoverFindings(copies_, deep_); }

void PhonePipeline::SetRecoveredTexts(std::string deletedContacts, std::string deletedMessages) {
  findings_ = phone::RecoveredFindings::OfTexts(std::move(deletedContacts), std::move(deletedMessages));
}

const std::string& PhonePipeline::deletedContactsText() const {
  static const std::string kNone;
  return findings_ ? findings_->contactsText : kNone;
}

const std::string& PhonePipeline::deletedMessagesText() const {
  static const std::string kNone;
  return findings_ ? findings_->messagesText : kNone;
}

phone::ScanWorkflow& PhonePipeline::workflow() {
  if (!workflow_) {
    workflow_.emplace(records_, static_cast<phone::ScanSink&>(*this), pauseGate_, stopFlag_);
    workflow_->setCopies(copies_.contacts, copies_.sms);
    workflow_->setFindings(findings_);
  }
  return *workflow_;
}

void PhonePipeline::Scan() {
  // Every scan counts and loads afresh.
  workflow_.reset();
  contacts_ = {phone::kContactsCategory, false};
  messages_ = {phone::kMessageCategory, false};
  copyUnreadable_ = false;
  workflow().ScanThreadProc();
}

int PhonePipeline::LoadContacts(bool counting) { return workflow().LoadContacts(counting); }

int PhonePipeline::LoadMessages(bool counting) { return workflow().LoadMessages(counting); }

int PhonePipeline::progressTotal() const { return workflow_ ? workflow_->progressTotal() : 0; }

int PhonePipeline::progressCount() const { return workflow_ ? workflow_->progressCount() : 0; }

void PhonePipeline::categoryLoaded(const std::string& category, const std::string& caption) {
  CategoryFindings& findings = category == phone::kContactsCategory ? contacts_ : messages_;
  findings.caption = caption;
  findings.holdsRecords = true;
  sink_.categoryLoaded(category, caption);
}

void PhonePipeline::copyProblem(const std::string& copy, const phone::ReadOutcome& outcome) {
  copyUnreadable_ = true;
  sink_.copyProblem(copy, outcome);
}

ExportRecords PhonePipeline::View() const { return ExportRecordsOf(records_); }

namespace {

ExportCategory scannedCategory(const CategoryFindings& findings) {
  ExportCategory category;
  category.caption = WideText(findings.caption);
  category.checked = true;
  category.holdsRecords = findings.holdsRecords;
  return category;
}

}  // namespace

ExportCategory PhonePipeline::ScannedContacts() const { return scannedCategory(contacts_); }

ExportCategory PhonePipeline::ScannedMessages() const { return scannedCategory(messages_); }

std::int32_t PhonePipeline::CountChecked(const ExportCategory& contacts, const ExportCategory& messages) const {
  return CountCheckedRecords(View(), contacts, messages);
}

ExportStart PhonePipeline::PrepareExport(std::int32_t checked, std::u16string_view pickedFolder, std::int64_t now) {
  exportState_.emplace(pauseGate_, stopFlag_, [this](std::int32_t position) { sink_.exportPosition(position); });
  return records::PrepareExport(*exportState_, checked, pickedFolder, now);
}

std::int32_t PhonePipeline::RunExport(const ExportCategory& contacts, const ExportCategory& messages,
                                     const ExportOptions& options) {
  if (!exportState_) return 0;
  return records::RunExport(View(), contacts, messages, *exportState_, options);
}

void PhonePipeline::Clear() {
  workflow_.reset();
  records_.ClearRecords();
  findings_.reset();
  contacts_ = {phone::kContactsCategory, false};
  messages_ = {phone::kMessageCategory, false};
  copyUnreadable_ = false;
}

}  // namespace records
