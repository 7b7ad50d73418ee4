#include "records/SmsBackupExport.h"

#include <cassert>
#include <vector>

#include "phone/MessageTime.h"
#include "platform/FileOperations.h"
#include "records/ExportFile.h"
#include "records/ExportJob.h"
#include "records/ExportWalk.h"
#include "records/RecordFacts.h"

namespace records {

namespace {

// A long file is handed on in pieces of about this size.
constexpr std::size_t kPieceBytes = 256 * 1024;
constexpr std::int32_t kFirstBox = 1;
constexpr std::int32_t kLastBox = 6;
constexpr std::int32_t kInbox = 1;
constexpr std::int32_t kSentBox = 2;

// The message's box as the apps want it.
std::int32_t boxOf(const phone::MessageRecord& message) {
  if (message.typeCode >= kFirstBox && message.typeCode <= kLastBox) return message.typeCode;
  return message.direction == phone::kDirectionSent ? kSentBox : kInbox;
}

// What goes into the file of one conversation's messages: each message's
// date, or 0 when it is left out.
struct Dated {
  const phone::MessageRecord* message;
  std::int64_t date;
  bool borrowed;  // the date of the message before it
};

struct Plan {
  std::int64_t written = 0;
  std::int64_t withoutNumber = 0;
  std::int64_t withoutDate = 0;
  std::int64_t borrowedDates = 0;
};

std::vector<Dated> datedMessagesOf(const std::vector<const phone::MessageRecord*>& messages, Plan& plan) {
  std::vector<Dated> dated;
  std::int64_t before = 0;
  for (const phone::MessageRecord* message : messages) {
    if (message->address == nullptr || message->address[0] == '\0') {
      ++plan.withoutNumber;
      continue;
    }
    const std::int64_t own = phone::MessageDateOf(*message);
    if (own > 0) before = own;
    if (own <= 0 && before <= 0) {
      ++plan.withoutDate;
      continue;
    }
    const bool borrowed = own <= 0;
    plan.borrowedDates += borrowed ? 1 : 0;
    ++plan.written;
    dated.push_back(Dated{message, borrowed ? before : own, borrowed});
  }
  return dated;
}

class SmsWriter {
 public:
  SmsWriter(const RecordFacts& facts, ExportState& state) : facts_(facts), state_(state) {}

  void Append(std::string& xml, const Dated& dated) {
    const phone::MessageRecord& message = *dated.message;
    xml += "  <sms protocol=\"0\" address=\"";
    text(xml, Utf8Text(message.address));
    xml += "\" date=\"";
    xml += std::to_string(dated.date);
    xml += "\" type=\"";
    xml += std::to_string(boxOf(message));
    xml += "\" subject=\"null\" body=\"";
    text(xml, Utf8Text(message.body));
    xml += "\" toa=\"null\" sc_toa=\"null\" service_center=\"null\" read=\"1\" status=\"-1\" locked=\"0\" "
           "date_sent=\"0\" readable_date=\"";
    text(xml, dated.borrowed ? phone::FormatMessageTime(dated.date) : Utf8Text(message.timeText));
    xml += "\" contact_name=\"";
    const std::string name = facts_.SenderName(message);
    if (name.empty()) {
      xml += "null";
    } else {
      text(xml, name);
    }
    xml += "\" />\n";
  }

 private:
  void text(std::string& xml, std::string_view utf8) { AppendXmlAttributeText(xml, utf8, state_.charactersDropped); }

  const RecordFacts& facts_;
  ExportState& state_;
};

std::string headOf(const Plan& plan) {
  std::string head = "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n<!--Written by Zephyrloom Rescue: ";
  head += std::to_string(plan.written) + " messages.";
  if (plan.borrowedDates > 0) {
    head += " " + std::to_string(plan.borrowedDates) +
            " deleted messages kept no date: each has the date of the message before it in its conversation.";
  }
  if (plan.withoutNumber > 0) {
    head += " Left out: " + std::to_string(plan.withoutNumber) + " deleted messages without a number.";
  }
  if (plan.withoutDate > 0) {
    head += " Left out: " + std::to_string(plan.withoutDate) +
            " deleted messages with no date, nor a message with one before them.";
  }
  head += "-->\n<smses count=\"" + std::to_string(plan.written) + "\">\n";
  return head;
}

}  // namespace

std::string XmlAttributeText(std::string_view utf8, std::int64_t& dropped) {
  std::string text;
  AppendXmlAttributeText(text, utf8, dropped);
  return text;
}

void AppendXmlAttributeText(std::string& text, std::string_view utf8, std::int64_t& dropped) {
  text.reserve(text.size() + utf8.size());
  for (std::size_t at = 0; at < utf8.size(); ++at) {
    const auto byte = static_cast<unsigned char>(utf8[at]);
    switch (byte) {
      case '&':
        text += "&amp;";
        continue;
      case '<':
        text += "&lt;";
        continue;
      case '>':
        text += "&gt;";
        continue;
      case '"':
        text += "&quot;";
        continue;
      case '\'':
        text += "&apos;";
        continue;
      case '\t':
        text += "&#9;";
        continue;
      case '\n':
        text += "&#10;";
        continue;
      case '\r':
        text += "&#13;";
        continue;
      default:
        break;
    }
    if (byte < 0x20) {
      ++dropped;
      continue;
    }
    // U+FFFE and U+FFFF (EF BF BE, EF BF BF) are no XML characters either.
    if (byte == 0xEF && at + 2 < utf8.size() && static_cast<unsigned char>(utf8[at + 1]) == 0xBF &&
        static_cast<unsigned char>(utf8[at + 2]) >= 0xBE) {
      ++dropped;
      at += 2;
      continue;
    }
    text += static_cast<char>(byte);
  }
}

std::int32_t ExportSmsBackup(const ExportRecords& records, const ExportCategory& messages, ExportState& state,
                             PhoneFileRole role) {
  if (CountCheckedRecords(records, ExportCategory(), messages) == 0) return 0;
  const RecordFacts facts(records);
  // The count goes first: the messages of each checked conversation are
  // worked out once, before anything is written.
  Plan plan;
  std::vector<std::vector<Dated>> conversations;
  const auto plan1 = [&](const phone::ConversationRecord& conversation) {
    if (conversation.checked != 0) conversations.push_back(datedMessagesOf(facts.messagesOf(conversation), plan));
  };
  for (const phone::ConversationRecord* c = records.conversations; c != nullptr; c = c->next) plan1(*c);
  for (const phone::ConversationRecord* c : records.recoveredConversations) plan1(*c);

  ExportFile file(state.outputFolder + platform::kPathSeparator + kSmsBackupName);
  const auto put = [&](const std::string& bytes) {
    if (file.Write(bytes)) return true;
    state.Fail(file.failure());
    return false;
  };
  if (!put(headOf(plan))) return -1;
  SmsWriter writer(facts, state);
  const bool alone = role == PhoneFileRole::kAlone;
  std::size_t next = 0;
  std::int32_t written = 0;
  const bool walked = WalkConversations(
      records, state,
      [&](const phone::ConversationRecord&) {
        // The plan took the same checked conversations in the same order;
        // nothing checks or unchecks a record while an export runs.
        assert(next < conversations.size());
        std::string xml;
        for (const Dated& dated : conversations[next++]) {
          writer.Append(xml, dated);
          ++written;
          if (xml.size() >= kPieceBytes) {
            if (!put(xml)) return Visit::kFailed;
            xml.clear();
          }
        }
        return put(xml) ? Visit::kWritten : Visit::kFailed;
      },
      alone);
  if (!walked || !put("</smses>\n")) return -1;
  if (!file.Close()) {
    state.Fail(file.failure());
    return -1;
  }
  if (alone) state.messagesExported += written;
  ++state.filesWritten;
  return written;
}

}  // namespace records
