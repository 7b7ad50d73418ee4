#include "phone/LiveRecordReader.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "phone/DatabaseCopy.h"
#include "phone/MessageTime.h"
#include "phone/RecoveredValues.h"
#include "phone/SalvageTableScan.h"
#include "platform/TextEncoding.h"

namespace phone {

namespace {

// A text longer than this is cut: no phone stores such a name, number or
// message, and a hostile copy must not make every record a megabyte.
constexpr std::size_t kMaxTextBytes = kMaxRecordTextBytes;

// The low 32 bits of a key, as the record layouts keep keys.
std::int32_t key32(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value) & 0xFFFFFFFFu));
}

// Bytes that are not UTF-8 become U+FFFD, as everything shown and exported
// writes them, so that the conversion to the narrow encoding keeps the rest
// of the text; the outcome counts such texts.
std::string repairUtf8(std::string_view bytes, OutcomeBuilder& outcome) {
  if (platform::isValidUtf8(bytes)) return std::string(bytes);
  outcome.NoteRepairedText();
  return platform::utf8FromUtf16(platform::utf16FromNarrow(bytes));
}

// A database text as an arena text: up to its first NUL, at most
// kMaxTextBytes, in the narrow encoding. Null for SQL NULL (and when the
// arena is full, which the caller notices through the arena).
const char* storeText(RecordArena& arena, OutcomeBuilder& outcome, std::optional<std::string_view> utf8) {
  if (!utf8) return nullptr;
  std::string_view bytes = *utf8;
  bytes = bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
  bytes = bytes.substr(0, std::min(bytes.size(), kMaxTextBytes));
  if (bytes.empty()) return arena.CopyText(bytes);
  return arena.CopyText(platform::narrowFromUtf8(repairUtf8(bytes, outcome)));
}

// True for an optional '-' followed by 1 to 19 ASCII digits.
bool isWholeNumber(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  if (text.empty() || text.size() > 19) return false;
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Appends records to a singly linked list, keeping its head.
template <typename Record>
class ListBuilder {
 public:
  void append(Record* record) {
    (tail_ == nullptr ? head_ : tail_->next) = record;
    tail_ = record;
  }
  Record* head() const { return head_; }

 private:
  Record* head_ = nullptr;
  Record* tail_ = nullptr;
};

template <typename Record>
Record* linkInOrder(const std::vector<Record*>& records) {
  ListBuilder<Record> list;
  for (Record* record : records) {
    record->next = nullptr;
    list.append(record);
  }
  return list.head();
}

void noteFull(const RecordArena& arena, OutcomeBuilder& outcome, const char* what) {
  if (arena.full()) outcome.Note(ReadStatus::kTooLarge, std::string("too many ") + what + "; the rest was not read");
}

// ---------------------------------------------------------------------------
// Contacts

struct RawContact {
  std::int64_t key = 0;
  std::int64_t contactKey = 0;
  bool hasContact = false;
  bool markedDeleted = false;
  const char* displayName = nullptr;
  std::int32_t displayNameSource = 0;
};

class ContactsReader {
 public:
  ContactsReader(DatabaseCopy& copy, RecordArena& arena, OutcomeBuilder& outcome)
      : copy_(copy), arena_(arena), outcome_(outcome) {}

  void read() {
    readMimeTypes();
    if (!arena_.full()) readRawContacts();
    if (!arena_.full()) readContacts();
    if (!arena_.full()) readDataRows();
    noteFull(arena_, outcome_, "contact records");
  }

  ContactExtraRecord* extras() const { return extras_.head(); }
  ContactRecord* contacts() const { return contacts_; }
  DataRowRecord* dataRows() const { return dataRows_.head(); }
  MimeTypeRecord* mimeTypes() const { return mimeTypes_.head(); }

 private:
  void readMimeTypes() {
    enum : std::size_t { kKey, kMimeType };
    SalvageTableScan scan(copy_, outcome_, "mimetypes", {"_id", "mimetype"}, {"_id", "mimetype"});
    while (scan.Next()) {
      auto* record = arena_.NewRecord<MimeTypeRecord>();
      const char* mimeType = storeText(arena_, outcome_, scan.text(kMimeType));
      if (record == nullptr || arena_.full()) return;
      record->key = key32(scan.integer(kKey));
      record->mimeType = mimeType;
      if (mimeType != nullptr && std::string_view(mimeType) == kMimeTypeOrganization) {
        organizationKeys_.insert(record->key);
      }
      if (mimeType != nullptr && std::string_view(mimeType) == kMimeTypeName) nameKeys_.insert(record->key);
      mimeTypes_.append(record);
    }
  }

  void readRawContacts() {
    enum : std::size_t { kKey, kContactKey, kName, kNameSource, kDeleted, kAccount };
    SalvageTableScan scan(copy_, outcome_, "raw_contacts",
                          {"_id", "contact_id", "display_name", "display_name_source", "deleted", "account_id"},
                          {"_id"});
    while (scan.Next()) {
      RawContact raw;
      raw.key = scan.integer(kKey);
      raw.hasContact = !scan.isNull(kContactKey);
      raw.contactKey = scan.integer(kContactKey);
      raw.markedDeleted = scan.integer(kDeleted) != 0;
      raw.displayName = storeText(arena_, outcome_, scan.text(kName));
      raw.displayNameSource = key32(scan.integer(kNameSource));
      auto* extra = arena_.NewRecord<ContactExtraRecord>();
      if (extra == nullptr || arena_.full()) return;
      extra->rawContactKey = key32(raw.key);
      extra->checked = 1;
      extra->contactKey = key32(raw.contactKey);
      extra->markedDeleted = raw.markedDeleted ? 1 : 0;
      extra->displayName = raw.displayName;
      extra->displayNameSource = raw.displayNameSource;
      extra->accountKey = key32(scan.integer(kAccount));
      extras_.append(extra);

      const std::size_t index = rawContacts_.size();
      rawContacts_.push_back(raw);
      rawByKey_.emplace(raw.key, index);
      if (raw.hasContact) {
        // A contact is named by its first raw contact that is not waiting
        // to be deleted, else by its first one.
        const auto [first, added] = firstRawOfContact_.emplace(raw.contactKey, index);
        if (!added && rawContacts_[first->second].markedDeleted && !raw.markedDeleted) first->second = index;
      }
    }
  }

  void readContacts() {
    enum : std::size_t { kKey, kNameRawContact, kName, kNameSource };
    SalvageTableScan scan(copy_, outcome_, "contacts",
                          {"_id", "name_raw_contact_id", "display_name", "display_name_source"}, {"_id"});
    std::vector<ContactRecord*> records;
    while (scan.Next()) {
      auto* record = arena_.NewRecord<ContactRecord>();
      if (record == nullptr) break;
      const std::int64_t key = scan.integer(kKey);
      record->contactKey = key32(key);
      record->checked = 1;
      const RawContact* raw = namingRawContact(key, scan.isNull(kNameRawContact), scan.integer(kNameRawContact));
      if (raw != nullptr) {
        record->personKey = key32(raw->key);
        record->displayName = raw->displayName;
        record->displayNameSource = raw->displayNameSource;
      }
      // Early versions kept the name in `contacts` itself.
      if (record->displayName == nullptr && !scan.isNull(kName)) {
        record->displayName = storeText(arena_, outcome_, scan.text(kName));
        record->displayNameSource = key32(scan.integer(kNameSource));
      }
      if (arena_.full()) break;
      records.push_back(record);
    }
    std::stable_sort(records.begin(), records.end(), &ContactsReader::listsBefore);
    contacts_ = linkInOrder(records);
  }

  const RawContact* namingRawContact(std::int64_t contactKey, bool noNameRawContact, std::int64_t nameRawContact) const {
    if (!noNameRawContact) {
      const auto named = rawByKey_.find(nameRawContact);
      if (named != rawByKey_.end()) return &rawContacts_[named->second];
    }
    const auto first = firstRawOfContact_.find(contactKey);
    return first == firstRawOfContact_.end() ? nullptr : &rawContacts_[first->second];
  }

  // Named contacts first, by name with ASCII letters compared without regard
  // to case, then by key.
  static bool listsBefore(const ContactRecord* a, const ContactRecord* b) {
    const std::string_view nameA = a->displayName == nullptr ? std::string_view() : a->displayName;
    const std::string_view nameB = b->displayName == nullptr ? std::string_view() : b->displayName;
    if (nameA.empty() != nameB.empty()) return !nameA.empty();
    const auto fold = [](char c) {
      const auto byte = static_cast<unsigned char>(c);
      return byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte;
    };
    const std::size_t common = std::min(nameA.size(), nameB.size());
    for (std::size_t i = 0; i < common; ++i) {
      const int difference = fold(nameA[i]) - fold(nameB[i]);
      if (difference != 0) return difference < 0;
    }
    if (nameA.size() != nameB.size()) return nameA.size() < nameB.size();
    return a->contactKey < b->contactKey;
  }

  void readDataRows() {
    enum : std::size_t { kKey, kMimeType, kRawContact, kData1, kData2, kData3, kData4, kData5 };
    SalvageTableScan scan(copy_, outcome_, "data",
                          {"_id", "mimetype_id", "raw_contact_id", "data1", "data2", "data3", "data4", "data5"},
                          {"mimetype_id", "raw_contact_id"});
    while (scan.Next()) {
      auto* record = arena_.NewRecord<DataRowRecord>();
      if (record == nullptr) return;
      record->dataKey = key32(scan.integer(kKey));
      record->mimeTypeKey = key32(scan.integer(kMimeType));
      const std::int64_t rawKey = scan.integer(kRawContact);
      record->rawContactKey = key32(rawKey);
      const auto raw = rawByKey_.find(rawKey);
      if (raw != rawByKey_.end() && rawContacts_[raw->second].hasContact) {
        record->contactKey = key32(rawContacts_[raw->second].contactKey);
      }
      record->value = storeText(arena_, outcome_, scan.text(kData1));
      const auto type = scan.text(kData2);
      if (type && isWholeNumber(*type)) record->typeCode = storeText(arena_, outcome_, type);
      if (organizationKeys_.count(record->mimeTypeKey) != 0) {
        record->title = storeText(arena_, outcome_, scan.text(kData4));
        record->department = storeText(arena_, outcome_, scan.text(kData5));
      } else if (nameKeys_.count(record->mimeTypeKey) != 0) {
        record->givenName = storeText(arena_, outcome_, scan.text(kData2));
        record->familyName = storeText(arena_, outcome_, scan.text(kData3));
      } else if (record->typeCode != nullptr && std::string_view(record->typeCode) == "0") {
        record->label = storeText(arena_, outcome_, scan.text(kData3));  // a custom type's label
      }
      if (arena_.full()) return;
      dataRows_.append(record);
    }
  }

  DatabaseCopy& copy_;
  RecordArena& arena_;
  OutcomeBuilder& outcome_;
  std::vector<RawContact> rawContacts_;
  // Ordered maps: lookups stay logarithmic whatever keys a hostile copy holds.
  std::map<std::int64_t, std::size_t> rawByKey_;
  std::map<std::int64_t, std::size_t> firstRawOfContact_;
  std::set<std::int32_t> organizationKeys_;
  std::set<std::int32_t> nameKeys_;
  ListBuilder<MimeTypeRecord> mimeTypes_;
  ListBuilder<ContactExtraRecord> extras_;
  ContactRecord* contacts_ = nullptr;
  ListBuilder<DataRowRecord> dataRows_;
};

// ---------------------------------------------------------------------------
// SMS

struct Thread {
  ConversationRecord* record = nullptr;  // made with the thread's first message
  std::int64_t newestDate = std::numeric_limits<std::int64_t>::min();
  std::size_t rank = 0;  // place in the conversation list
};

struct MessageRow {
  MessageRecord* record;
  std::size_t thread;  // index into the threads
  std::int64_t date;
  std::int64_t key;
};

class SmsReader {
 public:
  SmsReader(DatabaseCopy& copy, RecordArena& arena, OutcomeBuilder& outcome)
      : copy_(copy), arena_(arena), outcome_(outcome) {}

  void read() {
    readThreads();
    readMessages();
    noteFull(arena_, outcome_, "messages");
    orderLists();
  }

  ConversationRecord* conversations() const { return conversations_; }
  MessageRecord* messages() const { return messages_; }

 private:
  void readThreads() {
    enum : std::size_t { kKey };
    SalvageTableScan scan(copy_, outcome_, "threads", {"_id"}, {"_id"}, SalvageTableScan::kOptional);
    while (scan.Next()) {
      const std::int32_t key = key32(scan.integer(kKey));
      if (threadIndex_.emplace(key, threads_.size()).second) {
        threadKeys_.push_back(key);
        threads_.emplace_back();
      }
    }
  }

  void readMessages() {
    enum : std::size_t { kKey, kThread, kAddress, kPerson, kDate, kType, kBody };
    SalvageTableScan scan(copy_, outcome_, "sms", {"_id", "thread_id", "address", "person", "date", "type", "body"},
                          {});
    while (scan.Next()) {
      auto* record = arena_.NewRecord<MessageRecord>();
      if (record == nullptr) return;
      const std::int64_t key = scan.integer(kKey);
      const std::int64_t date = scan.integer(kDate);
      record->messageKey = key32(key);
      record->threadKey = key32(scan.integer(kThread));
      record->address = storeText(arena_, outcome_, scan.text(kAddress));
      record->personKey = key32(scan.integer(kPerson));
      const std::string time = FormatMessageTime(date);
      record->timeText = time.empty() ? nullptr : arena_.CopyText(time);
      SetMessageDate(*record, date > 0 ? date : 0);
      record->typeCode = key32(scan.integer(kType));
      record->direction = scan.integer(kType) == 1 ? kDirectionReceived : kDirectionSent;
      record->body = storeText(arena_, outcome_, scan.text(kBody));
      if (arena_.full()) return;

      // A thread that `threads` lacks still gets its conversation.
      const auto [found, added] = threadIndex_.emplace(record->threadKey, threads_.size());
      if (added) {
        threadKeys_.push_back(record->threadKey);
        threads_.emplace_back();
      }
      Thread& thread = threads_[found->second];
      if (thread.record == nullptr) {
        thread.record = arena_.NewRecord<ConversationRecord>();
        if (thread.record == nullptr) return;
        thread.record->threadKey = record->threadKey;
        thread.record->checked = 1;
      }
      ++thread.record->messageCount;
      thread.newestDate = std::max(thread.newestDate, date);
      rows_.push_back(MessageRow{record, found->second, date, key});
    }
  }

  // Conversations newest first; messages by conversation, oldest first.
  void orderLists() {
    std::vector<std::size_t> order;
    for (std::size_t index = 0; index < threads_.size(); ++index) {
      if (threads_[index].record != nullptr) order.push_back(index);
    }
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
      if (threads_[a].newestDate != threads_[b].newestDate) return threads_[a].newestDate > threads_[b].newestDate;
      return threadKeys_[a] < threadKeys_[b];
    });
    std::vector<ConversationRecord*> conversations;
    conversations.reserve(order.size());
    for (std::size_t rank = 0; rank < order.size(); ++rank) {
      threads_[order[rank]].rank = rank;
      conversations.push_back(threads_[order[rank]].record);
    }
    conversations_ = linkInOrder(conversations);

    std::stable_sort(rows_.begin(), rows_.end(), [this](const MessageRow& a, const MessageRow& b) {
      if (threads_[a.thread].rank != threads_[b.thread].rank) return threads_[a.thread].rank < threads_[b.thread].rank;
      if (a.date != b.date) return a.date < b.date;
      return a.key < b.key;
    });
    std::vector<MessageRecord*> messages;
    messages.reserve(rows_.size());
    for (const MessageRow& row : rows_) messages.push_back(row.record);
    messages_ = linkInOrder(messages);
  }

  DatabaseCopy& copy_;
  RecordArena& arena_;
  OutcomeBuilder& outcome_;
  std::vector<Thread> threads_;
  std::vector<std::int32_t> threadKeys_;  // parallel to threads_
  std::map<std::int32_t, std::size_t> threadIndex_;
  std::vector<MessageRow> rows_;
  ConversationRecord* conversations_ = nullptr;
  MessageRecord* messages_ = nullptr;
};

template <typename Record>
void give(Record** out, Record* head) {
  if (out != nullptr) *out = head;
}

// Reads the file at `path` through a private working copy with a Reader, and
// hands the reader to `deliver` for its lists: empty ones when the copy
// cannot be opened.
template <typename Reader, typename Deliver>
ReadOutcome readCopy(const std::string& path, RecordArena& arena, Deliver deliver) {
  OutcomeBuilder outcome;
  DatabaseCopy copy;
  Reader reader(copy, arena, outcome);
  if (copy.Open(path, outcome)) reader.read();
  deliver(reader);
  return outcome.outcome();
}

}  // namespace

ReadOutcome ReadContactsDb(const std::string& path, RecordArena& arena, ContactExtraRecord** extras,
                           ContactRecord** contacts, DataRowRecord** dataRows, MimeTypeRecord** mimeTypes) {
  return readCopy<ContactsReader>(path, arena, [&](const ContactsReader& reader) {
    give(extras, reader.extras());
    give(contacts, reader.contacts());
    give(dataRows, reader.dataRows());
    give(mimeTypes, reader.mimeTypes());
  });
}

ReadOutcome ReadSmsDb(const std::string& path, RecordArena& arena, ConversationRecord** conversations,
                      MessageRecord** messages) {
  return readCopy<SmsReader>(path, arena, [&](const SmsReader& reader) {
    give(conversations, reader.conversations());
    give(messages, reader.messages());
  });
}

}  // namespace phone
