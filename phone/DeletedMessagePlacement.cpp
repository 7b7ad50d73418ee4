#include "phone/DeletedMessagePlacement.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "phone/MessageTime.h"
#include "phone/RecoveredValues.h"
#include "platform/TextEncoding.h"

namespace phone {

namespace {

constexpr std::int64_t kFirstMessageType = 1;  // inbox
constexpr std::int64_t kLastMessageType = 6;   // queued
constexpr std::int64_t kReceivedType = 1;
// Copies of one body looked at for a duplicate: far more than the times a
// phone keeps the same words.
constexpr std::size_t kCopiesLookedAt = 64;
// Numbers are told apart by their last digits (see SameNumber).
constexpr std::size_t kNumberSuffix = 7;

// One deleted message being placed.
struct Entry {
  std::string address;
  std::string body;
  std::optional<std::int64_t> date;
  std::optional<std::int32_t> thread;
  std::optional<std::int32_t> person;
  std::optional<std::int32_t> messageKey;
  std::optional<std::int32_t> type;
  engine::RowSources sources = 0;

  // Fills in what this copy lacks from another copy of the same message.
  void Merge(const Entry& other) {
    if (address.empty()) address = other.address;
    if (!date) date = other.date;
    if (!thread) thread = other.thread;
    if (!person) person = other.person;
    if (!messageKey) messageKey = other.messageKey;
    if (!type) type = other.type;
    sources |= other.sources;
  }
};

std::size_t hashOf(std::string_view address, std::string_view body, std::optional<std::int64_t> date) {
  std::size_t hash = std::hash<std::string_view>()(address);
  hash ^= std::hash<std::string_view>()(body) + 0x9e3779b97f4a7c15ull + (hash << 6) + (hash >> 2);
  if (date) hash ^= std::hash<std::int64_t>()(*date) * 0x9e3779b97f4a7c15ull;
  return hash;
}

// The key of a number among conversations: its last digits, or the text
// itself when it has no digits (a sender named "Google").
std::string numberKeyOf(const std::string& address) {
  const std::string digits = DigitsOf(address);
  if (digits.empty()) return address;
  return digits.size() > kNumberSuffix ? digits.substr(digits.size() - kNumberSuffix) : digits;
}

Entry entryOf(const engine::RecoveredMessageRow& row) {
  Entry entry;
  const std::string_view address = TextOf(row.address);
  if (platform::isValidUtf8(address)) entry.address = std::string(address);
  entry.body = std::string(TextOf(row.body));
  entry.date = PlausibleDate(row.date);
  entry.thread = RecordKeyOf(row.threadId);
  entry.person = RecordKeyOf(row.person);
  entry.messageKey = RecordKeyOf(row.rowid);
  if (row.type && *row.type >= kFirstMessageType && *row.type <= kLastMessageType) {
    entry.type = static_cast<std::int32_t>(*row.type);
  }
  entry.sources = row.sources;
  return entry;
}

// What the live lists hold: the messages (to leave out older images of
// them), the conversations by thread and by number. The messages of a phone
// are many: they are kept as sorted hashes, and a conversation's number is
// worked out once for each run of messages from the same address.
class LiveMessages {
 public:
  explicit LiveMessages(SmsLists& lists) {
    for (ConversationRecord* conversation = lists.conversations; conversation != nullptr;
         conversation = conversation->next) {
      byThread_.emplace(conversation->threadKey, conversation);
    }
    const char* lastAddress = nullptr;
    std::int32_t lastThread = 0;
    for (const MessageRecord* message = lists.messages; message != nullptr; message = message->next) {
      const std::string_view address = message->address != nullptr ? message->address : "";
      const std::string_view body = message->body != nullptr ? message->body : "";
      dated_.push_back(hashOf(address, body, phone::MessageDateOf(*message)));
      if (address.empty() || (lastAddress != nullptr && message->threadKey == lastThread &&
                              std::strcmp(lastAddress, message->address) == 0)) {
        continue;
      }
      lastAddress = message->address;
      lastThread = message->threadKey;
      const auto conversation = byThread_.find(message->threadKey);
      if (conversation == byThread_.end()) continue;
      const std::string key = numberKeyOf(std::string(address));
      byNumber_.emplace(key, conversation->second);
      numbersOfThread_.insert(std::to_string(message->threadKey) + '#' + key);
      threadsWithNumbers_.insert(message->threadKey);
    }
    std::sort(dated_.begin(), dated_.end());
    messages_ = lists.messages;
  }

  bool holds(const Entry& entry) const {
    if (entry.date) return std::binary_search(dated_.begin(), dated_.end(), hashOf(entry.address, entry.body, entry.date));
    // Rows without a date are few: their hashes are made when one comes.
    if (undated_.empty()) {
      for (const MessageRecord* message = messages_; message != nullptr; message = message->next) {
        undated_.push_back(hashOf(message->address != nullptr ? message->address : "",
                                  message->body != nullptr ? message->body : "", std::nullopt));
      }
      std::sort(undated_.begin(), undated_.end());
    }
    return std::binary_search(undated_.begin(), undated_.end(), hashOf(entry.address, entry.body, std::nullopt));
  }

  // The live conversation of the entry's thread, unless that thread is with
  // another number; else the one with its number.
  ConversationRecord* conversationOf(const Entry& entry) const {
    const std::string key = entry.address.empty() ? std::string() : numberKeyOf(entry.address);
    if (entry.thread) {
      const auto thread = byThread_.find(*entry.thread);
      if (thread != byThread_.end() &&
          (key.empty() || threadsWithNumbers_.count(*entry.thread) == 0 ||
           numbersOfThread_.count(std::to_string(*entry.thread) + '#' + key) != 0)) {
        return thread->second;
      }
    }
    if (key.empty()) return nullptr;
    const auto number = byNumber_.find(key);
    return number == byNumber_.end() ? nullptr : number->second;
  }

  bool usesThread(std::int32_t thread) const { return byThread_.count(thread) != 0; }

 private:
  const MessageRecord* messages_ = nullptr;
  std::vector<std::size_t> dated_;            // sorted
  mutable std::vector<std::size_t> undated_;  // sorted, made when first asked
  std::unordered_map<std::int32_t, ConversationRecord*> byThread_;
  std::unordered_map<std::string, ConversationRecord*> byNumber_;
  std::unordered_set<std::string> numbersOfThread_;
  std::unordered_set<std::int32_t> threadsWithNumbers_;
};

// The deleted messages, each once.
class DeletedMessages {
 public:
  explicit DeletedMessages(const LiveMessages& live) : live_(live) {}

  void Take(const engine::RecoveredMessageRow& row) {
    Entry entry = entryOf(row);
    if (!MakesAValue(entry.body) || !placeable(entry) || live_.holds(entry)) return;
    std::vector<std::size_t>& copies = byBody_[entry.body];
    const std::size_t looked = std::min(copies.size(), kCopiesLookedAt);
    for (std::size_t k = 0; k < looked; ++k) {
      Entry& other = entries_[copies[k]];
      const bool sameAddress =
          other.address.empty() || entry.address.empty() || SameNumber(DigitsOf(other.address), DigitsOf(entry.address)) ||
          other.address == entry.address;
      const bool sameDate = !other.date || !entry.date || *other.date == *entry.date;
      if (sameAddress && sameDate) {
        other.Merge(entry);
        return;
      }
    }
    copies.push_back(entries_.size());
    entries_.push_back(std::move(entry));
  }

  std::vector<Entry>& entries() { return entries_; }

 private:
  // A row of the table has a number, a thread or a date: one with none of
  // them is some other bytes read as a row. The search index gives words
  // alone.
  static bool placeable(const Entry& entry) {
    return !entry.address.empty() || entry.thread || entry.date ||
           entry.sources == engine::SourceBit(engine::RowSource::kSearchIndex);
  }

  const LiveMessages& live_;
  std::vector<Entry> entries_;
  std::unordered_map<std::string, std::vector<std::size_t>> byBody_;
};

// The conversations that only deleted messages hold, made as they are
// needed, with thread keys no live conversation uses.
class DeletedConversations {
 public:
  DeletedConversations(const LiveMessages& live, const SmsLists& lists, RecordArena& arena)
      : live_(live), arena_(arena) {
    for (const ConversationRecord* conversation = lists.conversations; conversation != nullptr;
         conversation = conversation->next) {
      used_.insert(conversation->threadKey);
    }
    // The list runs conversation by conversation: one key per run.
    for (const MessageRecord* message = lists.messages; message != nullptr; message = message->next) {
      if (message == lists.messages || message->threadKey != lastKey_) used_.insert(message->threadKey);
      lastKey_ = message->threadKey;
    }
  }

  // Null when the arena refuses a new record.
  ConversationRecord* For(const Entry& entry) {
    const std::string number = entry.address.empty() ? std::string() : numberKeyOf(entry.address);
    if (entry.thread && !live_.usesThread(*entry.thread)) {
      const auto known = byThread_.find(*entry.thread);
      if (known != byThread_.end()) return known->second;
      ConversationRecord* conversation = number.empty() ? nullptr : byNumber(number);
      // Its own thread id, unless live messages of no conversation use it.
      if (conversation == nullptr) {
        conversation = make(used_.count(*entry.thread) != 0 ? freeKey() : *entry.thread, false);
      }
      if (conversation == nullptr) return nullptr;
      byThread_.emplace(*entry.thread, conversation);
      if (!number.empty()) byNumber_.emplace(number, conversation);
      return conversation;
    }
    if (!number.empty()) {
      if (ConversationRecord* conversation = byNumber(number)) return conversation;
      ConversationRecord* conversation = make(freeKey(), false);
      if (conversation != nullptr) byNumber_.emplace(number, conversation);
      return conversation;
    }
    if (loose_ == nullptr) loose_ = make(freeKey(), true);
    return loose_;
  }

  // Newest first, those without a date after them, the loose one last.
  std::vector<ConversationRecord*> InOrder(const std::unordered_map<const ConversationRecord*, std::int64_t>& newest) {
    std::vector<ConversationRecord*> ordered;
    for (ConversationRecord* conversation : made_) {
      if (conversation != loose_) ordered.push_back(conversation);
    }
    std::stable_sort(ordered.begin(), ordered.end(), [&](const ConversationRecord* a, const ConversationRecord* b) {
      const auto dateOf = [&](const ConversationRecord* c) {
        const auto found = newest.find(c);
        return found == newest.end() ? LLONG_MIN : found->second;
      };
      return dateOf(a) > dateOf(b);
    });
    if (loose_ != nullptr) ordered.push_back(loose_);
    return ordered;
  }

 private:
  ConversationRecord* byNumber(const std::string& number) {
    const auto found = byNumber_.find(number);
    return found == byNumber_.end() ? nullptr : found->second;
  }

  // Keys below every key in use, counting down; a copy that used them all
  // shares the lowest.
  std::int32_t freeKey() {
    while (used_.count(nextKey_) != 0 && nextKey_ > INT32_MIN) --nextKey_;
    const std::int32_t key = nextKey_;
    if (nextKey_ > INT32_MIN) --nextKey_;
    return key;
  }

  ConversationRecord* make(std::int32_t threadKey, bool loose) {
    auto* conversation = arena_.NewRecord<ConversationRecord>();
    if (conversation == nullptr) return nullptr;
    used_.insert(threadKey);
    conversation->threadKey = threadKey;
    conversation->checked = 1;
    conversation->deleted = 1;
    conversation->loose = loose ? 1 : 0;
    made_.push_back(conversation);
    return conversation;
  }

  const LiveMessages& live_;
  RecordArena& arena_;
  std::unordered_set<std::int32_t> used_;
  std::int32_t lastKey_ = 0;
  std::int32_t nextKey_ = -1;
  std::unordered_map<std::int32_t, ConversationRecord*> byThread_;
  std::unordered_map<std::string, ConversationRecord*> byNumber_;
  std::vector<ConversationRecord*> made_;
  ConversationRecord* loose_ = nullptr;
};

// Null when the arena refuses it.
MessageRecord* messageOf(const Entry& entry, const ConversationRecord& conversation, RecordArena& arena) {
  auto* message = arena.NewRecord<MessageRecord>();
  const char* body = arena.CopyText(entry.body);
  if (message == nullptr || body == nullptr) return nullptr;
  message->messageKey = entry.messageKey.value_or(0);
  message->threadKey = conversation.threadKey;
  if (!entry.address.empty()) message->address = arena.CopyText(entry.address);
  message->personKey = entry.person.value_or(0);
  if (entry.date) {
    message->timeText = arena.CopyText(FormatMessageTime(*entry.date));
    SetMessageDate(*message, *entry.date);
  }
  message->typeCode = entry.type.value_or(0);
  message->direction = !entry.type ? 0 : *entry.type == kReceivedType ? kDirectionReceived : kDirectionSent;
  message->sources = static_cast<std::int32_t>(entry.sources);
  message->body = body;
  return message;
}

}  // namespace

std::size_t PlaceDeletedMessages(const std::vector<engine::RecoveredMessageRow>& rows, SmsLists& lists,
                                 RecordArena& arena, std::vector<ConversationRecord*>& conversations,
                                 const ProgressUnit& onRow) {
  const LiveMessages live(lists);
  DeletedMessages deleted(live);
  for (const engine::RecoveredMessageRow& row : rows) {
    deleted.Take(row);
    if (onRow) onRow();
  }
  DeletedConversations made(live, lists, arena);
  std::vector<MessageRecord*> placed;
  std::unordered_map<const ConversationRecord*, std::int64_t> newest;
  for (const Entry& entry : deleted.entries()) {
    ConversationRecord* conversation = live.conversationOf(entry);
    if (conversation == nullptr) conversation = made.For(entry);
    MessageRecord* message = conversation == nullptr ? nullptr : messageOf(entry, *conversation, arena);
    if (message == nullptr) break;
    conversation->sources |= static_cast<std::int32_t>(entry.sources);
    if (entry.date) {
      const auto [date, added] = newest.emplace(conversation, *entry.date);
      if (!added) date->second = std::max(date->second, *entry.date);
    }
    placed.push_back(message);
  }
  for (ConversationRecord* conversation : made.InOrder(newest)) conversations.push_back(conversation);
  LinkDeletedMessages(lists, placed, conversations);
  return placed.size();
}

void LinkDeletedMessages(SmsLists& lists, const std::vector<MessageRecord*>& deleted,
                         const std::vector<ConversationRecord*>& deletedConversations) {
  if (deleted.empty()) return;
  // The deleted messages of each thread in time order, those without a date
  // last.
  const auto timeOf = [](const MessageRecord* message) {
    const std::int64_t date = MessageDateOf(*message);
    return IsDeleted(*message) && date == 0 ? LLONG_MAX : date;
  };
  std::unordered_map<std::int32_t, std::vector<MessageRecord*>> byThread;
  for (MessageRecord* message : deleted) byThread[message->threadKey].push_back(message);
  for (auto& entry : byThread) {
    std::stable_sort(entry.second.begin(), entry.second.end(),
                     [&](const MessageRecord* a, const MessageRecord* b) { return timeOf(a) < timeOf(b); });
  }
  std::unordered_map<std::int32_t, ConversationRecord*> conversationOf;
  for (ConversationRecord* conversation = lists.conversations; conversation != nullptr;
       conversation = conversation->next) {
    conversationOf.emplace(conversation->threadKey, conversation);
  }
  for (ConversationRecord* conversation : deletedConversations) conversationOf.emplace(conversation->threadKey, conversation);
  const auto count = [&](std::int32_t thread, std::size_t added) {
    const auto conversation = conversationOf.find(thread);
    if (conversation == conversationOf.end()) return;
    conversation->second->messageCount += static_cast<std::int32_t>(added);
    conversation->second->deletedCount += static_cast<std::int32_t>(added);
  };

  // The live list is grouped by conversation, each in time order: the
  // deleted messages of a thread are spliced into its run where their time
  // comes (after the live messages of the same time).
  MessageRecord** link = &lists.messages;
  while (*link != nullptr) {
    const std::int32_t thread = (*link)->threadKey;
    const auto found = byThread.find(thread);
    if (found == byThread.end()) {
      while (*link != nullptr && (*link)->threadKey == thread) link = &(*link)->next;
      continue;
    }
    for (MessageRecord* message : found->second) {
      while (*link != nullptr && (*link)->threadKey == thread && timeOf(*link) <= timeOf(message)) {
        link = &(*link)->next;
      }
      message->next = *link;
      *link = message;
      link = &message->next;
    }
    while (*link != nullptr && (*link)->threadKey == thread) link = &(*link)->next;
    count(thread, found->second.size());
    byThread.erase(found);
  }
  // The rest at the end: the conversations of deleted messages alone, then
  // any live conversation that had no live message in the list.
  const auto append = [&](std::int32_t thread) {
    const auto found = byThread.find(thread);
    if (found == byThread.end()) return;
    for (MessageRecord* message : found->second) {
      message->next = nullptr;
      *link = message;
      link = &message->next;
    }
    count(thread, found->second.size());
    byThread.erase(found);
  };
  for (const ConversationRecord* conversation : deletedConversations) append(conversation->threadKey);
  for (const ConversationRecord* conversation = lists.conversations; conversation != nullptr;
       conversation = conversation->next) {
    append(conversation->threadKey);
  }
  *link = nullptr;
}

}  // namespace phone
