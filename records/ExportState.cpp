#include "records/ExportState.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/FileOperations.h"
#include "platform/NewFile.h"
#include "platform/TextEncoding.h"
#include "records/ExportFileName.h"

namespace records {

ExportRecords ExportRecordsOf(const phone::PhoneRecords& phone) {
  ExportRecords records;
  records.contacts = phone.contactLists().contacts;
  records.dataRows = phone.contactLists().dataRows;
  records.mimeTypes = phone.contactLists().mimeTypes;
  records.conversations = phone.smsLists().conversations;
  records.messages = phone.smsLists().messages;
  records.recoveredContacts.assign(phone.recoveredContacts().begin(), phone.recoveredContacts().end());
  records.recoveredDataRows = phone.recoveredDataRows();
  records.recoveredConversations.assign(phone.recoveredConversations().begin(),
                                        phone.recoveredConversations().end());
  return records;
}

const phone::ConversationRecord* LooseConversationOf(const ExportRecords& records) {
  for (const phone::ConversationRecord* conversation : records.recoveredConversations) {
    if (conversation->loose != 0) return conversation;
  }
  return nullptr;
}

bool ExportState::WaitThenStopped() const {
  pauseEvent.wait();
  return stopFlag.load() != 0;
}

void ExportState::Advance() {
  ++progressCount;
  if (!progressPosition) return;
  // In 64 bits: count * 100 cannot overflow there.
  std::int64_t position = 0;
  if (exportTotal > 0) position = std::int64_t{progressCount} * 100 / exportTotal;
  progressPosition(static_cast<std::int32_t>(std::clamp<std::int64_t>(position, 0, 100)));
}

std::u16string WideText(const char* text) {
  return text == nullptr ? std::u16string() : platform::utf16FromNarrow(text);
}

std::u16string WideText(std::string_view text) { return platform::utf16FromNarrow(text); }

std::u16string DecimalText(std::int64_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

void ExportState::Fail(std::string reason) {
  if (failure.empty()) failure = std::move(reason);
}

std::u16string MakeCategoryFolder(ExportState& state, const ExportCategory& category, std::int32_t exported) {
  std::u16string name = category.caption;
  if (!category.checked) {
    const std::size_t parenthesis = name.find(u'(');
    if (parenthesis != std::u16string::npos) name.erase(parenthesis);
    name += u"(" + DecimalText(exported) + u")";
  }
  const std::u16string folder = state.outputFolder + platform::kPathSeparator + SafeFileName(name);
  std::string reason;
  if (!platform::createNewFolder(folder, reason)) {
    state.Fail(platform::utf8FromUtf16(folder) + ": " + reason);
    return std::u16string();
  }
  return folder;
}

}  // namespace records
