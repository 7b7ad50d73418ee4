#include "records/MessagesExport.h"

#include <vector>

#include "platform/FileOperations.h"
#include "records/ExportFileName.h"
#include "records/RecordIndex.h"
#include "records/TkTxtFile.h"

namespace records {

namespace {

// The units of ".txt", the extension of every conversation file.
constexpr std::size_t kTextExtensionUnits = 4;

using phone::ContactRecord;
using phone::ConversationRecord;
using phone::MessageRecord;

std::u16string peerLabelOf(const MessageRecord* first, const ContactsByPerson& byPerson) {
  if (first == nullptr) return std::u16string();
  const ContactRecord* contact = ContactOf(*first, byPerson);
  if (contact != nullptr && contact->displayNameSource == phone::kDisplayNameFromStructuredName) {
    return WideText(contact->displayName);
  }
  return WideText(first->address);
}

void writeConversation(TkTxtFile& file, const std::vector<const MessageRecord*>& messages,
                       const std::u16string& peerLabel) {
  file.AppendLine(u"");
  for (const MessageRecord* message : messages) {
    file.AppendLine(WideText(message->timeText));
    const std::u16string speaker = message->direction == phone::kDirectionReceived ? peerLabel : u"Me";
    file.AppendLine(speaker + u" : " + WideText(message->body));
    file.AppendLine(u"");
  }
}

}  // namespace

std::u16string PeerLabel(const MessageRecord* firstMessage, const ContactRecord* contacts) {
  return peerLabelOf(firstMessage, ContactsByPersonOf(contacts));
}

std::u16string ConversationFileName(const std::u16string& peerLabel) {
  std::u16string name = SafeFileName(peerLabel, u".txt");
  if (SameNameIgnoringCase(name, kDeletedMessagesFileName)) name.insert(name.begin(), u'_');
  return name;
}

std::int32_t ExportMessages(const ExportRecords& records, const ExportCategory& category, ExportState& state) {
  std::int32_t checked = 0;
  for (const ConversationRecord* conversation = records.conversations; conversation != nullptr;
       conversation = conversation->next) {
    if (conversation->checked != 0) ++checked;
  }
  for (const ConversationRecord* recovered : records.recoveredMessages) {
    if (recovered->checked != 0) ++checked;
  }
  if (checked == 0) return 0;

  const std::u16string folderPath = MakeCategoryFolder(state, category, checked);
  if (folderPath.empty()) return -1;
  const std::u16string folder = folderPath + platform::kPathSeparator;
  const auto byThread = MessagesByThreadOf(records.messages);
  const auto byPerson = ContactsByPersonOf(records.contacts);
  const std::vector<const MessageRecord*> noMessages;
  // Every conversation gets a file of its own, even when the names made
  // from two labels are the same; deleted.txt is kept for its own file.
  UniqueFileNames names;
  if (records.hasDeletedMessagesText) names.Reserve(kDeletedMessagesFileName);
  const auto written = [&state](TkTxtFile& file) {
    if (!file.Close()) {
      state.Fail(file.failure());
      return false;
    }
    ++state.filesWritten;
    return true;
  };

  for (const ConversationRecord* conversation = records.conversations; conversation != nullptr;
       conversation = conversation->next) {
    if (state.WaitThenStopped()) return -1;
    if (conversation->checked == 0) continue;
    const auto found = byThread.find(conversation->threadKey);
    const std::vector<const MessageRecord*>& messages = found == byThread.end() ? noMessages : found->second;
    const std::u16string peerLabel = peerLabelOf(messages.empty() ? nullptr : messages.front(), byPerson);
    TkTxtFile file(folder + names.Take(ConversationFileName(peerLabel), kTextExtensionUnits));
    writeConversation(file, messages, peerLabel);
    if (!written(file)) return -1;
    state.Advance();
  }

  if (records.hasDeletedMessagesText) {
    TkTxtFile file(folder + kDeletedMessagesFileName);
    file.AppendLine(u"Deleted SMS:");
    for (const ConversationRecord* recovered : records.recoveredMessages) {
      if (recovered->checked == 0) continue;
      if (state.stopFlag.load() != 0) return -1;
      if (recovered->recoveredText != nullptr && recovered->recoveredText[0] != '\0') {
        file.AppendLine(WideText(recovered->recoveredText));
      }
      if (file.failed()) {
        state.Fail(file.failure());
        return -1;
      }
      state.Advance();
    }
    if (!written(file)) return -1;
  }
  return checked;
}

}  // namespace records
