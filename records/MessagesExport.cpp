#include "records/MessagesExport.h"

#include <vector>

#include "platform/FileOperations.h"
#include "records/ExportFileName.h"
#include "records/RecordIndex.h"
#include "records/SourceText.h"
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

std::u16string timeLineOf(const MessageRecord& message) {
  if (!phone::IsDeleted(message)) return WideText(message.timeText);
  const std::u16string time = WideText(message.timeText);
  return time.empty() ? std::u16string(u"(deleted, no date)") : time + u" (deleted)";
}

std::u16string speakerOf(const MessageRecord& message, const std::u16string& peerLabel) {
  if (message.direction == phone::kDirectionReceived) return peerLabel;
  if (phone::IsDeleted(message) && message.direction != phone::kDirectionSent) return u"Unknown";
  return u"Me";
}

void writeConversation(TkTxtFile& file, const std::vector<const MessageRecord*>& messages,
                       const std::u16string& peerLabel) {
  file.AppendLine(u"");
  for (const MessageRecord* message : messages) {
    file.AppendLine(timeLineOf(*message));
    file.AppendLine(speakerOf(*message, peerLabel) + u" : " + WideText(message->body));
    file.AppendLine(u"");
  }
}

// A deleted message without a conversation as one line of deleted.txt;
// nothing for a line recovered empty.
std::u16string looseLineOf(const MessageRecord& message) {
  if (message.recoveredLine != nullptr) return WideText(message.recoveredLine);
  const char* address = message.address != nullptr && message.address[0] != '\0' ? message.address : "N/A";
  const std::u16string mark = OnlyFromSearchIndex(message.sources) ? u"[search index] " : u"";
  return u"N/A\t" + WideText(address) + u"\t" + mark + WideText(message.body);
}

std::int32_t deletedCountOf(const std::vector<const MessageRecord*>& messages) {
  std::int32_t deleted = 0;
  for (const MessageRecord* message : messages) deleted += phone::IsDeleted(*message) ? 1 : 0;
  return deleted;
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
  const auto byThread = MessagesByThreadOf(records.messages);
  const std::vector<const MessageRecord*> noMessages;
  const auto messagesOf = [&](const ConversationRecord& conversation) -> const std::vector<const MessageRecord*>& {
    const auto found = byThread.find(conversation.threadKey);
    return found == byThread.end() ? noMessages : found->second;
  };
  // As the caption counts: live conversations and deleted messages.
  std::int32_t counted = 0;
  bool anyChecked = false;
  for (const ConversationRecord* conversation = records.conversations; conversation != nullptr;
       conversation = conversation->next) {
    if (conversation->checked == 0) continue;
    anyChecked = true;
    counted += 1 + deletedCountOf(messagesOf(*conversation));
  }
  for (const ConversationRecord* conversation : records.recoveredConversations) {
    if (conversation->checked == 0) continue;
    anyChecked = true;
    counted += deletedCountOf(messagesOf(*conversation));
  }
  if (!anyChecked) return 0;

  const std::u16string folderPath = MakeCategoryFolder(state, category, counted);
  if (folderPath.empty()) return -1;
  const std::u16string folder = folderPath + platform::kPathSeparator;
  const auto byPerson = ContactsByPersonOf(records.contacts);
  const ConversationRecord* loose = LooseConversationOf(records);
  // Every conversation gets a file of its own, even when the names made
  // from two labels are the same; deleted.txt is kept for its own file.
  UniqueFileNames names;
  if (loose != nullptr) names.Reserve(kDeletedMessagesFileName);
  const auto written = [&state](TkTxtFile& file) {
    if (!file.Close()) {
      state.Fail(file.failure());
      return false;
    }
    ++state.filesWritten;
    return true;
  };
  const auto exportConversation = [&](const ConversationRecord& conversation) {
    if (state.WaitThenStopped()) return false;
    if (conversation.checked == 0) return true;
    const std::vector<const MessageRecord*>& messages = messagesOf(conversation);
    const std::u16string peerLabel = peerLabelOf(messages.empty() ? nullptr : messages.front(), byPerson);
    TkTxtFile file(folder + names.Take(ConversationFileName(peerLabel), kTextExtensionUnits));
    writeConversation(file, messages, peerLabel);
    if (!written(file)) return false;
    state.messagesExported += static_cast<std::int32_t>(messages.size());
    state.Advance();
    return true;
  };

  for (const ConversationRecord* conversation = records.conversations; conversation != nullptr;
       conversation = conversation->next) {
    if (!exportConversation(*conversation)) return -1;
  }
  for (const ConversationRecord* conversation : records.recoveredConversations) {
    if (conversation != loose && !exportConversation(*conversation)) return -1;
  }

  if (loose != nullptr) {
    TkTxtFile file(folder + kDeletedMessagesFileName);
    file.AppendLine(u"Deleted SMS:");
    if (loose->checked != 0) {
      for (const MessageRecord* message : messagesOf(*loose)) {
        if (state.stopFlag.load() != 0) return -1;
        const std::u16string line = looseLineOf(*message);
        if (!line.empty()) file.AppendLine(line);
        if (file.failed()) {
          state.Fail(file.failure());
          return -1;
        }
        ++state.messagesExported;
      }
      state.Advance();
    }
    if (!written(file)) return -1;
  }
  return counted;
}

}  // namespace records
