#include "records/RecordRows.h"

#include <cstring>
#include <string_view>
#include <unordered_map>

#include "platform/TextEncoding.h"

namespace records {

namespace {

using phone::ContactRecord;
using phone::ConversationRecord;
using phone::DataRowRecord;
using phone::MessageRecord;

std::u16string widen(const char* text) {
  return text != nullptr ? platform::utf16FromNarrow(text) : std::u16string();
}

std::u16string widen(std::string_view text) { return platform::utf16FromNarrow(text); }

std::string_view textOf(const char* text) { return text != nullptr ? std::string_view(text) : std::string_view(); }

// The detail columns of the contacts list, in column order after the name.
enum DetailColumn { kPhoneColumn = 0, kCompanyColumn = 1, kEmailColumn = 2, kNoColumn = -1 };

DetailColumn columnOf(const char* mimeType) {
  if (mimeType == nullptr) return kNoColumn;
  if (std::strcmp(mimeType, phone::kMimeTypePhone) == 0) return kPhoneColumn;
  if (std::strcmp(mimeType, phone::kMimeTypeOrganization) == 0) return kCompanyColumn;
  if (std::strcmp(mimeType, phone::kMimeTypeEmail) == 0) return kEmailColumn;
  return kNoColumn;
}

// The first non-empty phone, organisation and e-mail value of each contact,
// found in one pass over the data rows.
struct ContactDetails {
  const char* values[3] = {nullptr, nullptr, nullptr};
};

std::unordered_map<std::int32_t, ContactDetails> detailsByContact(const ExportRecords& lists) {
  std::unordered_map<std::int32_t, DetailColumn> columnByMimeType;
  for (const phone::MimeTypeRecord* type = lists.mimeTypes; type != nullptr; type = type->next) {
    columnByMimeType.emplace(type->key, columnOf(type->mimeType));  // the first record with a key decides
  }
  std::unordered_map<std::int32_t, ContactDetails> details;
  for (const DataRowRecord* row = lists.dataRows; row != nullptr; row = row->next) {
    const auto column = columnByMimeType.find(row->mimeTypeKey);
    if (column == columnByMimeType.end() || column->second == kNoColumn) continue;
    if (row->value == nullptr || row->value[0] == '\0') continue;
    const char*& slot = details[row->contactKey].values[column->second];
    if (slot == nullptr) slot = row->value;
  }
  return details;
}

void addRecoveredContactRows(const ExportRecords& records, std::vector<RecordRow>& rows) {
  for (const ContactRecord* contact : records.recoveredContacts) {
    const std::string_view line = textOf(contact->displayName);
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) continue;
    rows.push_back(RecordRow{{widen(line.substr(0, tab)), widen(line.substr(tab + 1)), {}, {}},
                             contact, contact->checked != 0});
  }
}

void addLiveContactRows(const ExportRecords& records, std::vector<RecordRow>& rows) {
  const auto details = detailsByContact(records);
  for (const ContactRecord* contact = records.contacts; contact != nullptr; contact = contact->next) {
    RecordRow row{{widen(contact->displayName), {}, {}, {}}, contact, contact->checked != 0};
    const auto found = details.find(contact->contactKey);
    if (found != details.end()) {
      for (int column = 0; column < 3; ++column) row.cells[static_cast<std::size_t>(column) + 1] =
          widen(found->second.values[column]);
    }
    rows.push_back(std::move(row));
  }
}

void addRecoveredMessageRows(const ExportRecords& records, std::vector<RecordRow>& rows) {
  for (const ConversationRecord* message : records.recoveredMessages) {
    const std::string_view line = textOf(message->recoveredText);
    const std::size_t first = line.find('\t');
    if (first == std::string_view::npos) continue;
    const std::size_t second = line.find('\t', first + 1);
    if (second == std::string_view::npos) continue;
    rows.push_back(RecordRow{{widen(line.substr(0, first)), widen(line.substr(first + 1, second - first - 1))},
                             message, message->checked != 0});
  }
}

void addConversationRows(const ExportRecords& records, std::vector<RecordRow>& rows) {
  std::unordered_map<std::int32_t, const MessageRecord*> firstMessage;
  for (const MessageRecord* message = records.messages; message != nullptr; message = message->next) {
    firstMessage.emplace(message->threadKey, message);
  }
  std::unordered_map<std::int32_t, const ContactRecord*> contactByPerson;
  for (const ContactRecord* contact = records.contacts; contact != nullptr; contact = contact->next) {
    contactByPerson.emplace(contact->personKey, contact);
  }
  for (const ConversationRecord* conversation = records.conversations; conversation != nullptr;
       conversation = conversation->next) {
    RecordRow row{{{}, {}}, conversation, conversation->checked != 0};
    const auto message = firstMessage.find(conversation->threadKey);
    if (message != firstMessage.end()) {
      row.cells[1] = widen(message->second->address);
      const auto contact = message->second->personKey != 0 ? contactByPerson.find(message->second->personKey)
                                                           : contactByPerson.end();
      if (contact != contactByPerson.end()) row.cells[0] = widen(contact->second->displayName);
    }
    rows.push_back(std::move(row));
  }
}

}  // namespace

std::vector<RecordRow> ContactRows(const ExportRecords& records) {
  std::vector<RecordRow> rows;
  addRecoveredContactRows(records, rows);
  addLiveContactRows(records, rows);
  return rows;
}

std::vector<RecordRow> MessageRows(const ExportRecords& records) {
  std::vector<RecordRow> rows;
  addRecoveredMessageRows(records, rows);
  addConversationRows(records, rows);
  return rows;
}

void CheckAllContacts(const phone::PhoneRecords& records, bool checked) {
  const std::uint8_t flag = checked ? 1 : 0;
  for (phone::ContactExtraRecord* extra = records.contactLists().extras; extra != nullptr; extra = extra->next) {
    extra->checked = flag;
  }
  for (ContactRecord* contact = records.contactLists().contacts; contact != nullptr; contact = contact->next) {
    contact->checked = flag;
  }
  for (ContactRecord* contact : records.recoveredContacts()) contact->checked = flag;
}

void CheckAllMessages(const phone::PhoneRecords& records, bool checked) {
  const std::uint8_t flag = checked ? 1 : 0;
  for (ConversationRecord* conversation = records.smsLists().conversations; conversation != nullptr;
       conversation = conversation->next) {
    conversation->checked = flag;
  }
  for (ConversationRecord* message : records.recoveredMessages()) message->checked = flag;
}

}  // namespace records
