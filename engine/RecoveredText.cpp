#include "engine/RecoveredText.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "platform/TextEncoding.h"

namespace engine {

namespace {

constexpr std::string_view kMissing = "N/A";
constexpr std::string_view kFieldSeparator = "\t";
constexpr std::string_view kLineEnd = "\r\n";
// Removed once from a message's address before it is looked up among the
// live numbers.
constexpr std::string_view kCountryPrefix = "+86";
// A contact's rows are paired each with each: the first this many rows of
// one contact take part in pairs, the rest are listed singly, so that a
// contact with thousands of carved rows cannot square the output. No real
// contact has that many values.
constexpr std::size_t kMaxPairedRowsPerContact = 64;
// A sender's name taken from the live contacts is cut to this many bytes:
// every carved message repeats it, so a megabyte-long name would otherwise
// turn a small copy into gigabytes of text.
constexpr std::size_t kMaxSenderNameBytes = 4096;

// The text cut to at most `limit` bytes, never inside a UTF-8 sequence.
std::string cutText(std::string text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

void appendLine(std::string& text, std::string_view first, std::string_view second) {
  text.append(first).append(kFieldSeparator).append(second).append(kLineEnd);
}

// Carved rows of one contact, in carving order, with their data1 values
// numbered so that "differs" is one integer comparison.
struct ContactGroups {
  std::vector<std::uint32_t> valueId;                // per row
  std::vector<const std::vector<std::size_t>*> group;  // per row: rows of its contact
  std::unordered_map<std::string_view, std::vector<std::size_t>> byContact;
};

ContactGroups groupContacts(const std::vector<CarvedContact>& rows) {
  ContactGroups groups;
  std::unordered_map<std::string_view, std::uint32_t> valueIds;
  groups.valueId.resize(rows.size());
  groups.group.resize(rows.size(), nullptr);
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (rows[row].data1.empty()) continue;
    const auto inserted = valueIds.emplace(rows[row].data1, static_cast<std::uint32_t>(valueIds.size()));
    groups.valueId[row] = inserted.first->second;
    auto& members = groups.byContact[rows[row].rawContactId];
    if (members.size() < kMaxPairedRowsPerContact) members.push_back(row);
  }
  // Rows past a contact's limit keep no group: they are listed singly.
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (rows[row].data1.empty()) continue;
    const auto& members = groups.byContact[rows[row].rawContactId];
    if (std::binary_search(members.begin(), members.end(), row)) groups.group[row] = &members;
  }
  return groups;
}

}  // namespace

std::string toAnsiText(std::string_view field) {
  const std::size_t nul = field.find('\0');
  if (nul != std::string_view::npos) field = field.substr(0, nul);
  return platform::narrowFromUtf8(field);
}

bool carriesText(std::string_view field) {
  const std::size_t nul = field.find('\0');
  if (nul != std::string_view::npos) field = field.substr(0, nul);
  return !field.empty() && platform::isValidUtf8(field);
}

bool isAllDigits(std::string_view value) {
  return !value.empty() &&
         std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string formatRecoveredContacts(const std::vector<CarvedContact>& rows) {
  std::string text;
  if (rows.empty()) return text;
  const ContactGroups groups = groupContacts(rows);
  std::vector<std::string> ansi(rows.size());
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (!rows[row].data1.empty()) ansi[row] = toAnsiText(rows[row].data1);
  }
  std::vector<bool> used(rows.size(), false);
  for (std::size_t first = 0; first < rows.size(); ++first) {
    if (groups.group[first] == nullptr) continue;
    const std::vector<std::size_t>& members = *groups.group[first];
    const bool firstIsNumber = isAllDigits(rows[first].data1);
    for (auto it = std::lower_bound(members.begin(), members.end(), first); it != members.end(); ++it) {
      const std::size_t partner = *it;
      if (groups.valueId[partner] == groups.valueId[first]) continue;
      if (firstIsNumber) {
        appendLine(text, ansi[partner], ansi[first]);
      } else {
        appendLine(text, ansi[first], ansi[partner]);
      }
      used[first] = true;
      used[partner] = true;
    }
  }
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (rows[row].data1.empty() || used[row]) continue;
    if (isAllDigits(rows[row].data1)) {
      appendLine(text, kMissing, ansi[row]);
    } else {
      appendLine(text, ansi[row], kMissing);
    }
  }
  return text;
}

SenderNames::SenderNames(const std::vector<LiveContact>& live) : live_(live) {
  for (std::size_t row = 0; row < live.size(); ++row) {
    firstWithValue_.emplace(live[row].data1, row);
    auto& rows = firstTwoOfContact_[live[row].rawContactId];
    if (rows.count < 2) rows.row[rows.count++] = row;
  }
}

std::string SenderNames::nameFor(const std::string& address) const {
  if (live_.empty()) return std::string(kMissing);
  std::string key = address;
  const std::size_t prefix = key.find(kCountryPrefix);
  if (prefix != std::string::npos) key.erase(prefix, kCountryPrefix.size());
  const auto match = firstWithValue_.find(key);
  if (match == firstWithValue_.end()) return std::string(kMissing);
  const std::size_t matched = match->second;
  const FirstTwo& rows = firstTwoOfContact_.at(live_[matched].rawContactId);
  for (std::size_t k = 0; k < rows.count; ++k) {
    if (rows.row[k] != matched) return nameOfRow(rows.row[k]);
  }
  return std::string(kMissing);
}

const std::string& SenderNames::nameOfRow(std::size_t row) const {
  auto known = names_.find(row);
  if (known == names_.end()) {
    known = names_.emplace(row, cutText(toAnsiText(live_[row].data1), kMaxSenderNameBytes)).first;
  }
  return known->second;
}

bool appendRecoveredSmsLine(std::string& text, const CarvedSms& message, const SenderNames& names) {
  if (!carriesText(message.address) && !carriesText(message.body)) return false;
  const std::string address = toAnsiText(message.address);
  const std::string body = toAnsiText(message.body);
  text.append(names.nameFor(message.address)).append(kFieldSeparator);
  text.append(message.address.empty() ? std::string(kMissing) : address).append(kFieldSeparator);
  text.append(message.body.empty() ? std::string(kMissing) : body).append(kLineEnd);
  return true;
}

std::string formatRecoveredSms(const std::vector<CarvedSms>& messages,
                               const std::vector<LiveContact>& liveContacts) {
  std::string text;
  if (messages.empty()) return text;
  const SenderNames names(liveContacts);
  for (const CarvedSms& message : messages) appendRecoveredSmsLine(text, message, names);
  return text;
}

}  // namespace engine
