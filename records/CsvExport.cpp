#include "records/CsvExport.h"

#include <initializer_list>

#include "platform/FileOperations.h"
#include "records/ExportFile.h"
#include "records/ExportJob.h"
#include "records/ExportWalk.h"
#include "records/RecordFacts.h"

namespace records {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool startsFormula(std::string_view field) {
  if (field.empty()) return false;
  switch (field.front()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
      return true;
    default:
      return false;
  }
}

void appendRecord(std::string& out, std::initializer_list<std::string_view> fields) {
  bool first = true;
  for (const std::string_view field : fields) {
    if (!first) out += ',';
    out += CsvField(field);
    first = false;
  }
  out += "\r\n";
}

// One CSV file: the mark and the header with its first record.
class CsvFile {
 public:
  CsvFile(const ExportState& state, const char16_t* name, std::initializer_list<std::string_view> header)
      : file_(state.outputFolder + platform::kPathSeparator + name) {
    row_.assign(kUtf8ByteOrderMark);
    appendRecord(row_, header);
  }

  // Appends one record; the file is made with the first.
  Visit Append(ExportState& state, std::initializer_list<std::string_view> fields) {
    appendRecord(row_, fields);
    const bool written = file_.Write(row_);
    row_.clear();
    return written ? Visit::kWritten : fail(state);
  }

  // Writes the header when no record came, and closes the file.
  bool Close(ExportState& state) {
    if (!row_.empty() && !file_.Write(row_)) return fail(state) == Visit::kWritten;
    if (!file_.Close()) return fail(state) == Visit::kWritten;
    ++state.filesWritten;
    return true;
  }

 private:
  Visit fail(ExportState& state) {
    state.Fail(file_.failure());
    return Visit::kFailed;
  }

  ExportFile file_;
  std::string row_;
};

// The rows of one contact, each with its record number.
Visit writeContact(CsvFile& file, ExportState& state, const ContactFacts& contact, std::int32_t number) {
  const std::string record = std::to_string(number);
  const std::string_view stateName = contact.deleted ? "deleted" : "live";
  ++state.contactsExported;
  if (contact.details.empty()) {
    return file.Append(state, {record, stateName, contact.source, contact.name, "", "", ""});
  }
  for (const ContactDetail& detail : contact.details) {
    if (file.Append(state, {record, stateName, contact.source, contact.name, detail.kind, detail.type,
                            detail.value}) == Visit::kFailed) {
      return Visit::kFailed;
    }
  }
  return Visit::kWritten;
}

Visit writeMessage(CsvFile& file, ExportState& state, const MessageFacts& message) {
  ++state.messagesExported;
  return file.Append(state, {message.deleted ? "deleted" : "live", message.source, message.name, message.number,
                             message.type, message.isoDate, DirectionName(message.direction), message.body});
}

std::int32_t writeContacts(const ExportRecords& records, const RecordFacts& facts, ExportState& state) {
  CsvFile file(state, kContactsCsvName, {"Record", "State", "Source", "Name", "Kind", "Type", "Value"});
  std::int32_t number = 0;
  const bool walked = WalkContacts(records, state, [&](const phone::ContactRecord& contact) {
    return writeContact(file, state, facts.Contact(contact), ++number);
  });
  return walked && file.Close(state) ? 0 : -1;
}

std::int32_t writeMessages(const ExportRecords& records, const RecordFacts& facts, ExportState& state) {
  CsvFile file(state, kMessagesCsvName,
               {"State", "Source", "Name", "Number", "Type", "Date", "Direction", "Body"});
  const bool walked = WalkConversations(records, state, [&](const phone::ConversationRecord& conversation) {
    for (const phone::MessageRecord* message : facts.messagesOf(conversation)) {
      if (writeMessage(file, state, facts.Message(*message)) == Visit::kFailed) return Visit::kFailed;
    }
    return Visit::kWritten;
  });
  return walked && file.Close(state) ? 0 : -1;
}

}  // namespace

std::string CsvField(std::string_view utf8) {
  std::string field;
  if (startsFormula(utf8)) field += '\'';
  field += utf8;
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::int32_t ExportSpreadsheet(const ExportRecords& records, const ExportCategory& contacts,
                               const ExportCategory& messages, ExportState& state) {
  const RecordFacts facts(records);
  const ExportCategory none;
  const std::int32_t before = state.progressCount;
  if (CountCheckedRecords(records, contacts, none) > 0 && writeContacts(records, facts, state) == -1) return -1;
  if (CountCheckedRecords(records, none, messages) > 0 && writeMessages(records, facts, state) == -1) return -1;
  return state.progressCount - before;
}

}  // namespace records
