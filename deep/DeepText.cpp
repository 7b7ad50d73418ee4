#include "deep/DeepText.h"

#include <algorithm>
#include <cassert>
#include <unordered_map>
#include <unordered_set>

#include "deep/CandidateStore.h"
#include "deep/PageImagePass.h"
#include "engine/RecoveredText.h"

namespace deep {

namespace {

constexpr const char* kContactsFileName = "contacts2.db";
// Rows of one raw contact paired each with each; more are listed singly.
constexpr std::size_t kMaxPairedRows = 16;
// Bytes of text per byte of input, beyond a constant.
constexpr std::uint64_t kTextBytesPerInputByte = 8;
constexpr std::uint64_t kSlackBytes = 1u << 20;

// The session's lines, each of which may stand for one deep line.
class SessionLines {
 public:
  explicit SessionLines(const std::string& text) {
    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
      ++count_[text.substr(start, end - start + 2)];
      start = end + 2;
    }
  }
  // True when the session already wrote this line (once per time it did).
  bool takes(const std::string& line) {
    const auto found = count_.find(line);
    if (found == count_.end() || found->second == 0) return false;
    --found->second;
    return true;
  }

 private:
  std::unordered_map<std::string, int> count_;
};

// The deep lines, written straight into one text: a table of a million
// rows must not hold its lines twice.
class Output {
 public:
  Output(const std::string& sessionText, std::uint64_t inputBytes, bool afterSession)
      : result(afterSession ? sessionText : std::string()),
        session_(sessionText),
        budget_(inputBytes * kTextBytesPerInputByte + kSlackBytes) {}

  void add(const std::string& line, Source source) {
    if (line.empty() || line.size() > budget_ || session_.takes(line)) return;
    if (!written_.insert(HashText(line)).second) return;
    budget_ -= line.size();
    result.append(line, source);
  }

  DeepResult result;

 private:
  SessionLines session_;
  std::unordered_set<std::size_t> written_;
  std::uint64_t budget_;
};

// The live contact rows that name senders, as the session reads them: every
// data row in table order, raw contact and data1 as text.
std::vector<engine::LiveContact> liveContactRows(const std::string& contactsCopy) {
  std::vector<engine::LiveContact> rows;
  if (contactsCopy.find(kContactsFileName) == std::string::npos) return rows;
  PageStore store;
  if (!store.open(contactsCopy)) return rows;
  PageImagePass pass(store, DeepOptions{0});
  const Schema schema = pass.ReadSchema();
  const TableShape* data = schema.find("data");
  if (data == nullptr) return rows;
  const RecordLayout layout =
      RecordLayout::of(*data, {data->columnIndex("raw_contact_id"), data->columnIndex("data1")});
  if (!layout.usable()) return rows;
  const CellCarver carver(layout, store.usableSize());
  pass.WalkCurrentTable(carver, [&](CarvedRow& row) {
    rows.push_back(engine::LiveContact{row.values[0].asText(), row.values[1].asText()});
  });
  return rows;
}

engine::CarvedContact carvedContact(const FoundContact& found) {
  engine::CarvedContact contact;
  contact.rawContactId = found.group;
  contact.data1 = found.row.data1;
  return contact;
}

}  // namespace

void DeepResult::append(std::string_view line, Source source) {
  text_.append(line);
  ends_.push_back(LineEnd{text_.size(), source});
}

std::string DeepResult::line(std::size_t index) const {
  assert(index < ends_.size());
  const std::size_t start = index == 0 ? start_ : ends_[index - 1].end;
  return text_.substr(start, ends_[index].end - start);
}

DeepResult ContactLines(const ContactFindings& findings, const std::string& sessionText, bool afterSession) {
  // Lines as the session pairs rows: within one raw contact, each with each.
  std::vector<std::string> groupOrder;
  std::unordered_map<std::string, std::vector<const FoundContact*>> groups;
  for (const FoundContact& found : findings.rows) {
    auto& members = groups[found.group];
    if (members.empty()) groupOrder.push_back(found.group);
    members.push_back(&found);
  }
  Output output(sessionText, findings.inputBytes, afterSession);
  for (const std::string& key : groupOrder) {
    const std::vector<const FoundContact*>& members = groups[key];
    const std::size_t paired = std::min(members.size(), kMaxPairedRows);
    std::vector<bool> used(members.size(), false);
    for (std::size_t first = 0; first < paired; ++first) {
      for (std::size_t partner = first + 1; partner < paired; ++partner) {
        if (members[first]->row.data1 == members[partner]->row.data1) continue;
        used[first] = used[partner] = true;
        if (members[first]->repeatsLive && members[partner]->repeatsLive) continue;
        output.add(engine::formatRecoveredContacts({carvedContact(*members[first]), carvedContact(*members[partner])}),
                   members[first]->source);
      }
    }
    for (std::size_t single = 0; single < members.size(); ++single) {
      if (used[single] || members[single]->repeatsLive) continue;
      output.add(engine::formatRecoveredContacts({carvedContact(*members[single])}), members[single]->source);
    }
  }
  return std::move(output.result);
}

DeepResult MessageLines(const MessageFindings& findings, const std::string& contactsCopy,
                        const std::string& sessionText, bool afterSession) {
  const std::vector<engine::LiveContact> contacts = liveContactRows(contactsCopy);
  const engine::SenderNames names(contacts);
  Output output(sessionText, findings.inputBytes, afterSession);
  std::size_t expected = 0;
  for (const FoundMessage& found : findings.rows) expected += found.row.address.size() + found.row.body.size() + 24;
  output.result.reserve(output.result.text().size() + expected + expected / 8);
  std::string line;
  for (const FoundMessage& found : findings.rows) {
    if (found.source == Source::kFullText) {
      output.add("N/A\tN/A\t" + engine::toAnsiText(kSearchIndexMark + found.row.body) + "\r\n", Source::kFullText);
      continue;
    }
    line.clear();
    engine::CarvedSms message;
    message.address = found.row.address;
    message.body = found.row.body;
    if (engine::appendRecoveredSmsLine(line, message, names)) output.add(line, found.source);
  }
  return std::move(output.result);
}

std::vector<std::string> SessionBodies(const std::string& sessionText) {
  std::vector<std::string> bodies;
  std::size_t start = 0;
  for (std::size_t end = sessionText.find("\r\n"); end != std::string::npos; end = sessionText.find("\r\n", start)) {
    const std::size_t second = sessionText.find('\t', sessionText.find('\t', start) + 1);
    if (second < end) bodies.push_back(sessionText.substr(second + 1, end - second - 1));
    start = end + 2;
  }
  return bodies;
}

}  // namespace deep
