#pragma once
// Hand-built records, an export state on a fresh folder that records the
// progress it receives, and a strict reader of the UTF-16 export files.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "phone/DeletedRecordImport.h"
#include "phone/RecordArena.h"
#include "platform/ManualResetEvent.h"
#include "records/ExportState.h"
#include "tests/support/TempDir.h"

namespace records_testing {

using Lines = std::vector<std::u16string>;

// Builds the lists in list order. Texts are UTF-8, stored as narrow text.
class RecordBuilder {
 public:
  RecordBuilder();  // mimetype keys 1 phone, 2 e-mail, 3 organisation, 4 name
  phone::ContactRecord& contact(std::int32_t key, const std::string& name,
                                std::int32_t source = phone::kDisplayNameFromStructuredName, std::int32_t person = 0);
  void dataRow(std::int32_t contactKey, std::int32_t mimeTypeKey, const std::string& value, const char* typeCode);
  void mimeType(std::int32_t key, const char* text);
  phone::ConversationRecord& conversation(std::int32_t threadKey);
  phone::MessageRecord& message(std::int32_t threadKey, const std::string& address, std::int32_t person,
                                std::int32_t direction, const std::string& body, const std::string& time = "t");
  // Carving alone: one line of a recovered-record text, imported as the
  // scan imports it (a message into the conversation of messages without
  // a conversation, made with the first).
  phone::ContactRecord& recoveredContact(const std::string& text);
  phone::MessageRecord& recoveredMessage(const std::string& text);
  phone::ConversationRecord& looseConversation();

  // Whole deleted records: a contact (keys -1, -2, ... in order; no name
  // for an empty one) with its values, a message linked after the others
  // (an empty time: no date), a conversation only deleted messages hold.
  phone::ContactRecord& deletedContact(const std::string& name, std::int32_t sources = kFreeSpace);
  phone::DataRowRecord& deletedValue(std::int32_t contactKey, std::int32_t mimeTypeKey, const std::string& value,
                                     const char* typeCode);
  phone::MessageRecord& deletedMessage(std::int32_t threadKey, const std::string& address, std::int32_t direction,
                                       const std::string& body, const std::string& time,
                                       std::int32_t sources = kFreeSpace);
  phone::ConversationRecord& deletedConversation(std::int32_t threadKey);

  static constexpr std::int32_t kFreeSpace = 1;  // engine::RowSource::kFreeSpace
  static constexpr std::int32_t kWal = 4;        // engine::RowSource::kWal
  static constexpr std::int32_t kLooseThreadKey = -1000;

  // A private copy of the bytes as they are (say, bytes that are no UTF-8),
  // for a record's text.
  const char* bytes(const std::string& raw) { return arena_.CopyText(raw); }

  records::ExportRecords records;

 private:
  // A zeroed record linked after `last`, or as the head.
  template <typename Record, typename Head>
  Record& append(Head& head, Record*& last);
  const char* text(const std::string& bytes) { return arena_.CopyText(bytes); }
  void linkMessage(phone::MessageRecord& record);
  void syncRecovered();

  phone::RecordArena arena_;
  std::vector<phone::ContactRecord*> recoveredContacts_;
  phone::DataRowRecord* recoveredDataRows_ = nullptr;
  phone::ContactRecord* lastContact_ = nullptr;
  phone::DataRowRecord* lastDataRow_ = nullptr;
  phone::MimeTypeRecord* lastMimeType_ = nullptr;
  phone::ConversationRecord* lastConversation_ = nullptr;
  phone::MessageRecord* lastMessage_ = nullptr;
};

// An export state rooted in a fresh folder: pause event set, stop clear.
class ExportHarness {
 public:
  ExportHarness();
  std::filesystem::path root() const { return std::filesystem::path(state.outputFolder); }
  // The positions received, in order (read them after the worker ended).
  std::vector<std::int32_t> positions;

  testing_support::TempDir temp;
  platform::ManualResetEvent pause{true};
  std::atomic<int> stop{0};
  records::ExportState state;
  // Runs on the exporting thread after each progress step.
  std::function<void()> afterStep;
};

std::string fileBytes(const std::filesystem::path& path);
// The lines of an export file; fails the test unless the file is one BOM
// FF FE, whole UTF-16LE units, and lines each ended by CR LF.
Lines exportLines(const std::filesystem::path& path);
// The entry names of a folder, sorted.
Lines namesIn(const std::filesystem::path& folder);
// UTF-8 test text as UTF-16, through the system's narrow text.
std::u16string u16(const std::string& utf8);

// A literal's bytes, NULs included ("5\0" "5\0": "\05" is an octal escape).
template <std::size_t Size>
std::string raw(const char (&bytes)[Size]) {
  return std::string(bytes, Size - 1);
}

}  // namespace records_testing
