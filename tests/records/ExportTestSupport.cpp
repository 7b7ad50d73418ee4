#include "tests/records/ExportTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/TextEncoding.h"

namespace records_testing {

template <typename Record, typename Head>
Record& RecordBuilder::append(Head& head, Record*& last) {
  auto* record = arena_.NewRecord<Record>();
  if (last == nullptr) {
    head = record;
  } else {
    last->next = record;
  }
  last = record;
  return *record;
}

RecordBuilder::RecordBuilder() {
  mimeType(1, phone::kMimeTypePhone);
  mimeType(2, phone::kMimeTypeEmail);
  mimeType(3, phone::kMimeTypeOrganization);
  mimeType(4, "vnd.android.cursor.item/name");
}

phone::ContactRecord& RecordBuilder::contact(std::int32_t key, const std::string& name, std::int32_t source,
                                             std::int32_t person) {
  auto& record = append(records.contacts, lastContact_);
  record = {key, 1, person, 0, text(platform::narrowFromUtf8(name)), source, 0, nullptr};
  return record;
}

void RecordBuilder::dataRow(std::int32_t contactKey, std::int32_t mimeTypeKey, const std::string& value,
                            const char* typeCode) {
  auto& record = append(records.dataRows, lastDataRow_);
  record.mimeTypeKey = mimeTypeKey;
  record.contactKey = contactKey;
  record.value = text(platform::narrowFromUtf8(value));
  record.typeCode = typeCode == nullptr ? nullptr : text(typeCode);
}

void RecordBuilder::mimeType(std::int32_t key, const char* mimeTypeText) {
  auto& record = append(records.mimeTypes, lastMimeType_);
  record = {key, mimeTypeText == nullptr ? nullptr : text(mimeTypeText), nullptr};
}

phone::ConversationRecord& RecordBuilder::conversation(std::int32_t threadKey) {
  auto& record = append(records.conversations, lastConversation_);
  record.threadKey = threadKey;
  record.checked = 1;
  return record;
}

phone::MessageRecord& RecordBuilder::message(std::int32_t threadKey, const std::string& address, std::int32_t person,
                                             std::int32_t direction, const std::string& body, const std::string& time) {
  auto& record = append(records.messages, lastMessage_);
  record.threadKey = threadKey;
  record.address = text(platform::narrowFromUtf8(address));
  record.personKey = person;
  record.timeText = text(time);
  record.direction = direction;
  record.body = text(platform::narrowFromUtf8(body));
  return record;
}

phone::ContactRecord& RecordBuilder::recoveredContact(const std::string& line) {
  phone::ImportRecoveredContacts(platform::narrowFromUtf8(line) + "\r\n", arena_, recoveredContacts_,
                                 &recoveredDataRows_, nullptr);
  syncRecovered();
  return *recoveredContacts_.back();
}

phone::MessageRecord& RecordBuilder::recoveredMessage(const std::string& line) {
  phone::MessageRecord* added = nullptr;
  phone::ImportRecoveredMessages(platform::narrowFromUtf8(line) + "\r\n", arena_, looseConversation(), &added,
                                 nullptr);
  linkMessage(*added);
  return *added;
}

phone::ContactRecord& RecordBuilder::deletedContact(const std::string& name, std::int32_t sources) {
  auto* record = arena_.NewRecord<phone::ContactRecord>();
  record->contactKey = -static_cast<std::int32_t>(recoveredContacts_.size() + 1);
  record->checked = 1;
  record->deleted = 1;
  record->sources = sources;
  if (!name.empty()) {
    record->displayName = text(platform::narrowFromUtf8(name));
    record->displayNameSource = phone::kDisplayNameFromStructuredName;
  }
  recoveredContacts_.push_back(record);
  syncRecovered();
  return *record;
}

phone::DataRowRecord& RecordBuilder::deletedValue(std::int32_t contactKey, std::int32_t mimeTypeKey,
                                                  const std::string& value, const char* typeCode) {
  auto* record = arena_.NewRecord<phone::DataRowRecord>();
  record->mimeTypeKey = mimeTypeKey;
  record->contactKey = contactKey;
  record->value = text(platform::narrowFromUtf8(value));
  record->typeCode = typeCode == nullptr ? nullptr : text(typeCode);
  phone::DataRowRecord** tail = &recoveredDataRows_;
  while (*tail != nullptr) tail = &(*tail)->next;
  *tail = record;
  syncRecovered();
  return *record;
}

phone::MessageRecord& RecordBuilder::deletedMessage(std::int32_t threadKey, const std::string& address,
                                                    std::int32_t direction, const std::string& body,
                                                    const std::string& time, std::int32_t sources) {
  phone::MessageRecord& record = message(threadKey, address, 0, direction, body, time);
  record.sources = sources;
  if (time.empty()) record.timeText = nullptr;
  return record;
}

phone::ConversationRecord& RecordBuilder::deletedConversation(std::int32_t threadKey) {
  auto* record = arena_.NewRecord<phone::ConversationRecord>();
  record->threadKey = threadKey;
  record->checked = 1;
  record->deleted = 1;
  records.recoveredConversations.push_back(record);
  return *record;
}

phone::ConversationRecord& RecordBuilder::looseConversation() {
  for (const phone::ConversationRecord* conversation : records.recoveredConversations) {
    if (conversation->loose != 0) return *const_cast<phone::ConversationRecord*>(conversation);
  }
  phone::ConversationRecord& loose = deletedConversation(kLooseThreadKey);
  loose.loose = 1;
  return loose;
}

void RecordBuilder::linkMessage(phone::MessageRecord& record) {
  if (lastMessage_ == nullptr) {
    records.messages = &record;
  } else {
    lastMessage_->next = &record;
  }
  lastMessage_ = &record;
}

void RecordBuilder::syncRecovered() {
  records.recoveredContacts.assign(recoveredContacts_.begin(), recoveredContacts_.end());
  records.recoveredDataRows = recoveredDataRows_;
}

ExportHarness::ExportHarness()
    : state(pause, stop, [this](std::int32_t position) {
        positions.push_back(position);
        if (afterStep) afterStep();
      }) {
  state.outputFolder = std::filesystem::path(temp.path()).u16string();
}

std::string fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Lines exportLines(const std::filesystem::path& path) {
  const std::string bytes = fileBytes(path);
  if (bytes.compare(0, 2, "\xFF\xFE") != 0 || bytes.size() % 2 != 0) {
    ADD_FAILURE() << path << ": no byte-order mark, or an odd size";
    return {};
  }
  std::u16string units;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    units +=
        static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  }
  Lines lines;
  for (std::size_t start = 0; start < units.size();) {
    const std::size_t end = units.find(u"\r\n", start);
    if (end == std::u16string::npos) {
      ADD_FAILURE() << path << " ends without CR LF";
      break;
    }
    lines.push_back(units.substr(start, end - start));
    start = end + 2;
  }
  for (const auto& line : lines) {
    if (line.find_first_of(u"\n\uFEFF") != std::u16string::npos) ADD_FAILURE() << path << ": a bare LF or a second BOM";
  }
  return lines;
}

Lines namesIn(const std::filesystem::path& folder) {
  Lines names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    names.push_back(entry.path().filename().u16string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::u16string u16(const std::string& utf8) { return platform::utf16FromNarrow(platform::narrowFromUtf8(utf8)); }

}  // namespace records_testing
