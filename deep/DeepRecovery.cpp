#include "deep/DeepRecovery.h"

#include "deep/DeletedContacts.h"
#include "deep/DeletedMessages.h"

namespace deep {

namespace {

constexpr const char* kContactsFileName = "contacts2.db";
constexpr const char* kSmsFileName = "mmssms.db";

bool names(const std::string& path, const char* fileName) { return path.find(fileName) != std::string::npos; }

template <typename Row, typename Found>
std::vector<Row> rowsOf(std::vector<Found>&& found) {
  std::vector<Row> rows;
  rows.reserve(found.size());
  for (Found& one : found) rows.push_back(std::move(one.row));
  return rows;
}

// With `afterSession`, the result's text starts with the session's.
DeepResult recoverDeep(const std::string& contactsCopy, const std::string& smsCopy, ePaserType kind,
                       const std::string& sessionText, const DeepOptions& options, bool afterSession) {
  if (kind == eContacts) {
    if (!names(contactsCopy, kContactsFileName)) return {};
    return ContactLines(FindDeletedContacts(contactsCopy, options), sessionText, afterSession);
  }
  if (kind == eSms) {
    if (!names(smsCopy, kSmsFileName)) return {};
    const MessageFindings findings = FindDeletedMessages(smsCopy, SessionBodies(sessionText), options);
    return MessageLines(findings, contactsCopy, sessionText, afterSession);
  }
  return {};
}

}  // namespace

std::vector<engine::RecoveredContactRow> RecoverDeepContactRows(const std::string& contactsCopy,
                                                               const DeepOptions& options) {
  if (!names(contactsCopy, kContactsFileName)) return {};
  return rowsOf<engine::RecoveredContactRow>(FindDeletedContacts(contactsCopy, options).rows);
}

std::vector<engine::RecoveredMessageRow> RecoverDeepMessageRows(const std::string& smsCopy,
                                                               const std::vector<std::string>& knownBodies,
                                                               const DeepOptions& options) {
  if (!names(smsCopy, kSmsFileName)) return {};
  return rowsOf<engine::RecoveredMessageRow>(FindDeletedMessages(smsCopy, knownBodies, options).rows);
}

DeepResult RecoverDeep(const std::string& contactsCopy, const std::string& smsCopy, ePaserType kind,
                       const std::string& sessionText, const DeepOptions& options) {
  return recoverDeep(contactsCopy, smsCopy, kind, sessionText, options, false);
}

std::string WithDeepLines(const std::string& contactsCopy, const std::string& smsCopy, ePaserType kind,
                          const std::string& sessionText) {
  // The lines go straight after a copy of the session's text: on a large
  // table no second copy of them is made.
  DeepResult deep = recoverDeep(contactsCopy, smsCopy, kind, sessionText, DeepOptions(), true);
  if (deep.text().empty()) return sessionText;
  return deep.takeText();
}

}  // namespace deep
