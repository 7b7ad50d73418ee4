#include "records/HtmlReport.h"

#include <cassert>
#include <utility>

#include "phone/MessageTime.h"
#include "platform/FileOperations.h"
#include "records/ExportFile.h"
#include "records/ExportJob.h"
#include "records/ExportWalk.h"
#include "records/RecordFacts.h"

namespace records {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// A long conversation is handed to the file in pieces of about this size.
constexpr std::size_t kPieceBytes = 256 * 1024;

// Bubbles are grouped in runs of this many: the browser lays out only the
// runs in view (content-visibility), so that a conversation of tens of
// thousands of messages opens as quickly as a short one.
constexpr std::size_t kBubblesPerRun = 100;

constexpr std::string_view kPageStart = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'none'; style-src 'unsafe-inline'; img-src data:; base-uri 'none'; form-action 'none'">
<meta name="referrer" content="no-referrer">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Phone report</title>
<style>
:root{--bg:#eef0f4;--card:#fff;--ink:#1d2129;--muted:#687083;--line:#e3e6ec;--in:#e9eaee;--out:#1a7cf5;--del:#c8372d;--accent:#2a62c9}
*{box-sizing:border-box}
body{margin:0;background:var(--bg);color:var(--ink);font:15px/1.45 system-ui,-apple-system,"Segoe UI",Roboto,"Noto Sans","Noto Sans CJK SC","Microsoft YaHei","PingFang SC",Arial,sans-serif,"Apple Color Emoji","Segoe UI Emoji","Noto Color Emoji"}
.top{background:linear-gradient(135deg,#1d3566,#2f6fd6);color:#fff;padding:28px 32px 24px}
.top h1{margin:0 0 4px;font-size:26px;font-weight:600}
.top p{margin:0;opacity:.85}
.counts{list-style:none;display:flex;flex-wrap:wrap;gap:10px;padding:0;margin:18px 0 0}
.counts li{background:rgba(255,255,255,.16);border-radius:10px;padding:6px 12px}
.counts b{font-size:18px;margin-right:5px}
.toc{position:sticky;top:0;z-index:1;display:flex;flex-wrap:wrap;gap:6px 20px;padding:10px 32px;background:rgba(255,255,255,.96);border-bottom:1px solid var(--line)}
a{color:var(--accent);text-decoration:none}
a:hover{text-decoration:underline}
main{max-width:940px;margin:0 auto;padding:8px 20px 64px}
section{margin-top:30px}
h2{font-size:20px;margin:0 0 12px}
.card{background:var(--card);border-radius:14px;box-shadow:0 1px 3px rgba(20,30,50,.1);overflow:hidden}
table{width:100%;border-collapse:separate;border-spacing:0}
th{text-align:left;font-size:12px;font-weight:600;text-transform:uppercase;letter-spacing:.04em;color:var(--muted);padding:10px 16px;border-bottom:1px solid var(--line)}
td{padding:9px 16px;border-top:1px solid var(--line);vertical-align:top;overflow-wrap:anywhere}
.facts th{text-transform:none;letter-spacing:0;font-size:14px;color:var(--ink);width:32%;border:0;border-top:1px solid var(--line)}
.facts td{font-family:ui-monospace,Consolas,"DejaVu Sans Mono",monospace;font-size:13px}
.details{list-style:none;margin:0;padding:0}
.type{display:inline-block;width:92px;color:var(--muted);font-size:13px}
.name,.peer,.details li{unicode-bidi:isolate}
tr.deleted td{background:#fff6f5}
.state{white-space:nowrap;font-size:13px;color:var(--muted)}
.badge{display:inline-block;font-size:11px;font-weight:600;letter-spacing:.02em;color:#fff;background:var(--del);border-radius:6px;padding:1px 7px;margin-right:6px}
.index{list-style:none;margin:0;padding:4px 0;columns:2 300px}
.index li{padding:5px 16px;break-inside:avoid}
.count{color:var(--muted);font-size:13px;font-weight:400;margin-left:8px}
.chat{margin:18px 0 26px;overflow:hidden}
.chat h3{margin:0;padding:14px 18px;font-size:17px;border-bottom:1px solid var(--line);background:#fafbfc}
.num{color:var(--muted);font-weight:400;font-size:14px;margin-left:8px;unicode-bidi:isolate}
.note{margin:0;padding:10px 18px 0;color:var(--muted);font-size:13px}
.thread{padding:10px 16px 18px}
.run{content-visibility:auto;contain-intrinsic-size:auto 5000px}
.day{width:fit-content;margin:14px auto 8px;padding:2px 12px;border-radius:10px;background:#eef0f3;color:var(--muted);font-size:12px}
.msg{width:fit-content;max-width:74%;margin:3px 0;padding:7px 12px 5px;border-radius:18px}
.msg p{margin:0}
.body{white-space:pre-wrap;overflow-wrap:anywhere;unicode-bidi:plaintext}
.empty{font-style:italic;opacity:.7}
.meta{font-size:11px;text-align:right;opacity:.72;margin-top:2px}
.in{background:var(--in);border-bottom-left-radius:6px}
.out{margin-left:auto;background:var(--out);color:#fff;border-bottom-right-radius:6px}
.del{background:#fff;color:var(--ink);border:1.5px dashed var(--del)}
.del.unknown{margin-left:auto;margin-right:auto}
.del .meta{color:var(--del);opacity:1}
.none{color:var(--muted);padding:14px 18px;margin:0}
@media print{.toc{position:static}.msg{break-inside:avoid}body{background:#fff}}
</style>
</head>
<body>
)";

// Bubbles of one day, as the conversation shows them; a message without a
// date opens no new day.
std::string dayOf(const MessageFacts& message) { return message.timeText.substr(0, 10); }

std::string timeOf(const MessageFacts& message) {
  return message.timeText.size() > 11 ? message.timeText.substr(11) : std::string();
}

std::string decimal(std::int64_t value) { return std::to_string(value); }

// Counts and headings, worked out before anything is written: the top of
// the page names them.
struct ReportPlan {
  struct Conversation {
    const phone::ConversationRecord* record;
    ConversationPeer peer;
    std::size_t messages;
    std::size_t deleted;
  };
  std::int32_t liveContacts = 0;
  std::int32_t deletedContacts = 0;
  std::vector<Conversation> conversations;
  std::size_t messages = 0;
  std::int32_t deletedMessages = 0;
  bool withContacts = false;
  bool withMessages = false;
};

ReportPlan planOf(const ExportRecords& records, const RecordFacts& facts, const ExportCategory& contacts,
                  const ExportCategory& messages) {
  ReportPlan plan;
  const ExportCategory none;
  plan.withContacts = CountCheckedRecords(records, contacts, none) > 0;
  plan.withMessages = CountCheckedRecords(records, none, messages) > 0;
  if (plan.withContacts) {
    for (const phone::ContactRecord* contact = records.contacts; contact != nullptr; contact = contact->next) {
      plan.liveContacts += contact->checked != 0;
    }
    for (const phone::ContactRecord* contact : records.recoveredContacts) plan.deletedContacts += contact->checked != 0;
  }
  if (!plan.withMessages) return plan;
  const auto add = [&](const phone::ConversationRecord& conversation) {
    if (conversation.checked == 0) return;
    const auto& list = facts.messagesOf(conversation);
    std::size_t deleted = 0;
    for (const phone::MessageRecord* message : list) deleted += phone::IsDeleted(*message) ? 1 : 0;
    plan.messages += list.size();
    plan.deletedMessages += static_cast<std::int32_t>(deleted);
    plan.conversations.push_back(
        ReportPlan::Conversation{&conversation, facts.PeerOf(conversation), list.size(), deleted});
  };
  for (const phone::ConversationRecord* conversation = records.conversations; conversation != nullptr;
       conversation = conversation->next) {
    add(*conversation);
  }
  for (const phone::ConversationRecord* conversation : records.recoveredConversations) add(*conversation);
  return plan;
}

void appendCount(std::string& html, std::int64_t count, std::string_view one, std::string_view many) {
  html += "<li><b>" + decimal(count) + "</b>";
  html += count == 1 ? one : many;
  html += "</li>";
}

// Who a conversation is with: the name and, smaller, the number; the
// number alone when there is no name.
void appendPeer(std::string& html, const ConversationPeer& peer) {
  const std::string& name = peer.name;
  const std::string& number = peer.number;
  if (name.empty()) {
    html += "<span class=\"peer\">" + (number.empty() ? std::string("(no number)") : HtmlEscaped(number)) + "</span>";
    return;
  }
  html += "<span class=\"peer\">" + HtmlEscaped(name) + "</span>";
  if (!number.empty()) html += "<span class=\"num\">" + HtmlEscaped(number) + "</span>";
}

std::string topOf(const ReportPlan& plan, const ReportOptions& options, const ExportState& state) {
  std::string html(kPageStart);
  html += "<header class=\"top\"><h1>Phone report</h1><p>Contacts and messages recovered from the phone's copies";
  const std::string made = phone::FormatIsoMessageTime(state.startTime * 1000);
  if (!made.empty()) html += ", exported <time datetime=\"" + HtmlEscaped(made) + "\">" + HtmlEscaped(made) + "</time>";
  html += ".</p><ul class=\"counts\">";
  if (plan.withContacts) {
    appendCount(html, plan.liveContacts, " contact", " contacts");
    appendCount(html, plan.deletedContacts, " deleted contact", " deleted contacts");
  }
  if (plan.withMessages) {
    appendCount(html, static_cast<std::int64_t>(plan.conversations.size()), " conversation", " conversations");
    appendCount(html, static_cast<std::int64_t>(plan.messages), " message", " messages");
    appendCount(html, plan.deletedMessages, " deleted message", " deleted messages");
  }
  html += "</ul></header>\n<nav class=\"toc\">";
  if (!options.evidence.empty()) html += "<a href=\"#evidence\">Evidence</a>";
  if (plan.withMessages) html += "<a href=\"#messages\">Messages</a>";
  if (plan.withContacts) html += "<a href=\"#contacts\">Contacts</a>";
  html += "</nav>\n<main>\n";
  if (!options.evidence.empty()) {
    html += "<section id=\"evidence\"><h2>Evidence</h2><table class=\"facts card\">";
    for (const ReportFact& fact : options.evidence) {
      html += "<tr><th>" + HtmlEscaped(fact.label) + "</th><td>" + HtmlEscaped(fact.value) + "</td></tr>";
    }
    html += "</table></section>\n";
  }
  return html;
}

std::string contactRow(const ContactFacts& contact) {
  std::string html = contact.deleted ? "<tr class=\"deleted\"><td class=\"name\">" : "<tr><td class=\"name\">";
  html += HtmlEscaped(contact.name) + "</td><td><ul class=\"details\">";
  for (const ContactDetail& detail : contact.details) {
    html += "<li>";
    if (!detail.type.empty()) html += "<span class=\"type\">" + HtmlEscaped(detail.type) + "</span>";
    html += HtmlEscaped(detail.value) + "</li>";
  }
  html += "</ul></td><td class=\"state\">";
  if (contact.deleted) {
    html += "<span class=\"badge\">Deleted</span>" + HtmlEscaped(contact.source);
  } else {
    html += "Live";
  }
  html += "</td></tr>\n";
  return html;
}

std::string bodyOf(const MessageFacts& message) {
  if (message.body.empty()) return "<p class=\"body empty\">(no text)</p>";
  return "<p class=\"body\">" + HtmlEscaped(message.body) + "</p>";
}

// One message's bubble, after the day line when its day is new: received
// on the left, sent on the right; a deleted one dashed, with where it was
// found (one of unknown direction in the middle).
void appendBubble(std::string& html, const MessageFacts& message, std::string& day) {
  const std::string messageDay = dayOf(message);
  if (!messageDay.empty() && messageDay != day) {
    html += "<p class=\"day\">" + HtmlEscaped(messageDay) + "</p>\n";
    day = messageDay;
  }
  const bool received = message.direction == Direction::kReceived;
  html += received ? "<div class=\"msg in" : message.direction == Direction::kSent ? "<div class=\"msg out"
                                                                                : "<div class=\"msg unknown";
  html += message.deleted ? " del\">" : "\">";
  html += bodyOf(message);
  html += "<p class=\"meta\">";
  if (message.deleted) html += "<span class=\"badge\">Deleted</span>" + HtmlEscaped(message.source) + " · ";
  if (message.isoDate.empty()) {
    html += "no date";
  } else {
    html += "<time datetime=\"" + HtmlEscaped(message.isoDate) + "\">" + HtmlEscaped(timeOf(message)) + "</time>";
  }
  // The box says more than the side where a sent message never left.
  if (message.direction == Direction::kSent && message.type != "Sent" && !message.type.empty()) {
    html += " · " + HtmlEscaped(message.type);
  }
  html += "</p></div>\n";
}

// Opens the run of the bubble numbered `bubble` (from 0) of a thread, closing
// the run before it; the last run is closed with the thread.
void startRun(std::string& html, std::size_t bubble) {
  if (bubble % kBubblesPerRun != 0) return;
  if (bubble != 0) html += "</div>\n";
  html += "<div class=\"run\">\n";
}

class ReportWriter {
 public:
  ReportWriter(const ExportRecords& records, const ExportState& state)
      : records_(records), facts_(records), file_(state.outputFolder + platform::kPathSeparator + kReportName) {}

  std::int32_t Write(const ExportCategory& contacts, const ExportCategory& messages, const ReportOptions& options,
                     ExportState& state) {
    const ReportPlan plan = planOf(records_, facts_, contacts, messages);
    const std::int32_t before = state.progressCount;
    if (!put(topOf(plan, options, state), state)) return -1;
    if (plan.withMessages && !writeMessages(plan, state)) return -1;
    if (plan.withContacts && !writeContacts(state)) return -1;
    if (!put("</main>\n</body>\n</html>\n", state)) return -1;
    if (!file_.Close()) {
      state.Fail(file_.failure());
      return -1;
    }
    ++state.filesWritten;
    return state.progressCount - before;
  }

 private:
  // Writes a piece of the page; false, with the failure in the state, when
  // the file failed.
  bool put(const std::string& html, ExportState& state) {
    if (file_.Write(html)) return true;
    state.Fail(file_.failure());
    return false;
  }

  Visit visitPut(const std::string& html, ExportState& state) {
    return put(html, state) ? Visit::kWritten : Visit::kFailed;
  }

  bool writeContacts(ExportState& state) {
    if (!put("<section id=\"contacts\"><h2>Contacts</h2><table class=\"card\"><thead><tr><th>Name</th>"
             "<th>Numbers, e-mail, company</th><th>State</th></tr></thead><tbody>\n",
             state)) {
      return false;
    }
    const bool walked = WalkContacts(records_, state, [&](const phone::ContactRecord& contact) {
      ++state.contactsExported;
      return visitPut(contactRow(facts_.Contact(contact)), state);
    });
    return walked && put("</tbody></table></section>\n", state);
  }

  bool writeMessages(const ReportPlan& plan, ExportState& state) {
    std::string html = "<section id=\"messages\"><h2>Messages</h2>";
    if (plan.conversations.empty()) html += "<p class=\"none card\">No conversation is in this export.</p>";
    if (!plan.conversations.empty()) html += "<ul class=\"index card\">";
    for (std::size_t index = 0; index < plan.conversations.size(); ++index) {
      const auto& conversation = plan.conversations[index];
      html += "<li><a href=\"#c" + decimal(static_cast<std::int64_t>(index + 1)) + "\">";
      appendPeer(html, conversation.peer);
      html += "</a><span class=\"count\">" + decimal(static_cast<std::int64_t>(conversation.messages)) +
              (conversation.messages == 1 ? " message" : " messages");
      if (conversation.deleted > 0) html += ", " + decimal(static_cast<std::int64_t>(conversation.deleted)) + " deleted";
      html += "</span></li>";
    }
    if (!plan.conversations.empty()) html += "</ul>";
    if (!put(html + "\n", state)) return false;

    std::size_t number = 0;
    const bool walked = WalkConversations(records_, state, [&](const phone::ConversationRecord& conversation) {
      // The plan listed the same checked conversations in the same order;
      // nothing may check or uncheck a record while an export runs.
      const std::size_t index = number++;
      assert(index < plan.conversations.size() && plan.conversations[index].record == &conversation);
      static_cast<void>(conversation);  // the assertion's alone
      return writeConversation(plan.conversations[index], index + 1, state);
    });
    return walked && put("</section>\n", state);
  }

  // Writes one conversation, its bubbles in pieces: one may hold very many.
  Visit writeConversation(const ReportPlan::Conversation& conversation, std::size_t number, ExportState& state) {
    std::string html = "<article class=\"chat card\" id=\"c" + decimal(static_cast<std::int64_t>(number)) + "\"><h3>";
    appendPeer(html, conversation.peer);
    html += "</h3>";
    if (conversation.record->loose != 0) {
      html += "<p class=\"note\">Deleted messages whose sender and conversation are unknown; words from the "
              "search index have lost their punctuation.</p>";
    }
    html += "<div class=\"thread\">\n";
    std::string day;
    std::size_t bubble = 0;
    for (const phone::MessageRecord* message : facts_.messagesOf(*conversation.record)) {
      startRun(html, bubble++);
      appendBubble(html, facts_.Message(*message), day);
      ++state.messagesExported;
      if (html.size() >= kPieceBytes) {
        if (!put(html, state)) return Visit::kFailed;
        html.clear();
      }
    }
    if (conversation.messages == 0) html += "<p class=\"none\">No message.</p>";
    html += bubble == 0 ? "</div></article>\n" : "</div></div></article>\n";
    return put(html, state) ? Visit::kWritten : Visit::kFailed;
  }

  const ExportRecords& records_;
  RecordFacts facts_;
  ExportFile file_;
};

}  // namespace

std::vector<ReportFact> ReportFactsOf(const phone::EvidenceRecord& record) {
  const auto given = [](const std::string& fact) { return fact.empty() ? std::string("(not given)") : fact; };
  std::vector<ReportFact> facts = {
      {"Acquired", given(record.acquired)},
      {"Phone model", given(record.device.model)},
      {"Android version", given(record.device.androidVersion)},
      {"Serial number", given(record.device.serial)},
  };
  for (const phone::EvidenceFile& file : record.files) {
    facts.push_back({file.name, std::to_string(file.size) + " bytes, SHA-256 " + file.sha256});
  }
  return facts;
}

std::string HtmlEscaped(std::string_view utf8) {
  std::string html;
  html.reserve(utf8.size() + utf8.size() / 8);
  for (const char c : utf8) {
    switch (c) {
      case '&':
        html += "&amp;";
        break;
      case '<':
        html += "&lt;";
        break;
      case '>':
        html += "&gt;";
        break;
      case '"':
        html += "&quot;";
        break;
      case '\'':
        html += "&#39;";
        break;
      case '\t':
      case '\n':
      case '\r':
        html += c;
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          html += kReplacementCharacter;
        } else {
          html += c;
        }
        break;
    }
  }
  return html;
}

std::int32_t ExportReport(const ExportRecords& records, const ExportCategory& contacts,
                          const ExportCategory& messages, const ReportOptions& options, ExportState& state) {
  ReportWriter writer(records, state);
  return writer.Write(contacts, messages, options, state);
}

}  // namespace records
