#include "phone/DeletedContactAssembly.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "phone/RecoveredValues.h"
#include "platform/TextEncoding.h"

namespace phone {

namespace {

enum class Kind : char { kName = 'n', kPhone = 'p', kEmail = 'e', kOrganization = 'o' };

// The kind of each mimetype key the live lists name, and the key of each kind.
struct MimeTypes {
  std::unordered_map<std::int32_t, std::optional<Kind>> kindOfKey;  // nothing: a kind the records leave out
  std::map<Kind, std::int32_t> keyOfKind;

  explicit MimeTypes(const MimeTypeRecord* types) {
    for (const MimeTypeRecord* type = types; type != nullptr; type = type->next) {
      const std::optional<Kind> kind = kindOfText(type->mimeType);
      if (!kindOfKey.emplace(type->key, kind).second) continue;  // the first record with a key decides
      if (kind) keyOfKind.emplace(*kind, type->key);
    }
  }

  static std::optional<Kind> kindOfText(const char* text) {
    if (text == nullptr) return std::nullopt;
    if (std::strcmp(text, kMimeTypeName) == 0) return Kind::kName;
    if (std::strcmp(text, kMimeTypePhone) == 0) return Kind::kPhone;
    if (std::strcmp(text, kMimeTypeEmail) == 0) return Kind::kEmail;
    if (std::strcmp(text, kMimeTypeOrganization) == 0) return Kind::kOrganization;
    return std::nullopt;
  }
};

std::string lowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// How two values of a kind are compared: numbers by their digits, e-mail
// addresses without regard to ASCII case, the rest as they are.
std::string normalOf(Kind kind, std::string_view text) {
  if (kind == Kind::kPhone) {
    std::string digits = DigitsOf(text);
    return digits.empty() ? std::string(text) : digits;
  }
  if (kind == Kind::kEmail) return lowerAscii(text);
  return std::string(text);
}

// The key that tells values apart: numbers by their last 7 digits, so that
// a number saved with and without its country code is one number.
std::string indexKeyOf(Kind kind, const std::string& normal) {
  constexpr std::size_t kSuffix = 7;
  const std::string_view part =
      kind == Kind::kPhone && normal.size() > kSuffix ? std::string_view(normal).substr(normal.size() - kSuffix)
                                                       : std::string_view(normal);
  return static_cast<char>(kind) + std::string(part);
}

struct Value {
  Kind kind;
  std::int32_t mimeTypeKey;
  std::string text;
  std::string normal;
  const engine::RecoveredContactRow* row;  // the first row that held it
};

// The rows of one raw contact (or one row without a raw contact).
struct Group {
  std::optional<std::int32_t> rawContact;
  const ContactRecord* liveContact = nullptr;  // set: these are deleted values of a live contact
  std::vector<Value> values;
  engine::RowSources sources = 0;
};

// Holders of one value looked at before giving up: far more than a phone
// has contacts sharing a number.
constexpr std::size_t kHoldersLookedAt = 64;

std::size_t hashOf(const std::string& indexKey) { return std::hash<std::string>()(indexKey); }

// One key per recovered group and value.
std::string groupValueKey(std::size_t group, const std::string& indexKey) {
  return std::to_string(group) + '#' + indexKey;
}

// What the live lists hold: which raw contacts are live, and every value of
// every live contact, as sorted (value, contact) pairs: a copy with huge
// contacts costs no more than one with many small ones.
class LiveContacts {
 public:
  LiveContacts(const ContactLists& live, const MimeTypes& types) {
    for (const ContactRecord* contact = live.contacts; contact != nullptr; contact = contact->next) {
      contactByKey_.emplace(contact->contactKey, contact);
      if (contact->displayName != nullptr && contact->displayName[0] != '\0') {
        add(contact->contactKey, Kind::kName, contact->displayName);
      }
    }
    std::unordered_set<std::int32_t> markedDeleted;
    for (const ContactExtraRecord* raw = live.extras; raw != nullptr; raw = raw->next) {
      if (raw->markedDeleted == 0) {
        contactOfRaw_.emplace(raw->rawContactKey, raw->contactKey);
      } else {
        markedDeleted.insert(raw->rawContactKey);
      }
    }
    // The rows of a raw contact marked deleted are still in the table, but
    // no live contact's: they belong to no contact (key 0).
    for (const DataRowRecord* row = live.dataRows; row != nullptr; row = row->next) {
      const auto kind = types.kindOfKey.find(row->mimeTypeKey);
      if (kind == types.kindOfKey.end() || !kind->second || row->value == nullptr) continue;
      if (row->contactKey == 0 || markedDeleted.count(row->rawContactKey) != 0) continue;
      add(row->contactKey, *kind->second, row->value);
    }
    std::sort(holders_.begin(), holders_.end());
    holders_.erase(std::unique(holders_.begin(), holders_.end()), holders_.end());
  }

  // The live contact of a raw contact that is live (not marked deleted);
  // null when it is not, or its contact is not in the list.
  const ContactRecord* contactOfLiveRaw(std::int32_t raw, bool& rawIsLive) const {
    const auto found = contactOfRaw_.find(raw);
    rawIsLive = found != contactOfRaw_.end();
    if (!rawIsLive) return nullptr;
    const auto contact = contactByKey_.find(found->second);
    return contact == contactByKey_.end() ? nullptr : contact->second;
  }

  bool contactHolds(std::int32_t contactKey, const std::string& indexKey) const {
    return std::binary_search(holders_.begin(), holders_.end(), Holder{hashOf(indexKey), contactKey});
  }

  bool anyHolds(const std::string& indexKey) const {
    const std::size_t hash = hashOf(indexKey);
    const auto first = std::lower_bound(holders_.begin(), holders_.end(), Holder{hash, INT32_MIN});
    return first != holders_.end() && first->first == hash;
  }

  // True when one live contact has every value of the group.
  bool holdsAllOf(const Group& group) const {
    if (group.values.empty()) return false;
    const Value& firstValue = group.values.front();
    const std::size_t hash = hashOf(indexKeyOf(firstValue.kind, firstValue.normal));
    auto holder = std::lower_bound(holders_.begin(), holders_.end(), Holder{hash, INT32_MIN});
    for (std::size_t looked = 0; holder != holders_.end() && holder->first == hash && looked < kHoldersLookedAt;
         ++holder, ++looked) {
      const std::int32_t contact = holder->second;
      if (std::all_of(group.values.begin(), group.values.end(), [&](const Value& value) {
            return contactHolds(contact, indexKeyOf(value.kind, value.normal));
          })) {
        return true;
      }
    }
    return false;
  }

 private:
  using Holder = std::pair<std::size_t, std::int32_t>;  // hash of the value's index key, contact

  void add(std::int32_t contactKey, Kind kind, std::string_view text) {
    holders_.emplace_back(hashOf(indexKeyOf(kind, normalOf(kind, text))), contactKey);
  }

  std::unordered_map<std::int32_t, const ContactRecord*> contactByKey_;
  std::unordered_map<std::int32_t, std::int32_t> contactOfRaw_;
  std::vector<Holder> holders_;
};

// The kind of a row and the mimetype key its value keeps: the row's own
// when the live lists know it, else the key of the kind it looks like.
std::optional<std::pair<Kind, std::int32_t>> kindOf(const engine::RecoveredContactRow& row, std::string_view value,
                                                   const MimeTypes& types) {
  if (const auto key = RecordKeyOf(row.mimeTypeId)) {
    const auto known = types.kindOfKey.find(*key);
    if (known != types.kindOfKey.end()) {
      if (!known->second) return std::nullopt;
      return std::make_pair(*known->second, *key);
    }
  }
  const auto guessed = LooksLikeEmail(value) ? std::optional<Kind>(Kind::kEmail)
                       : LooksLikeNumber(value) ? std::optional<Kind>(Kind::kPhone)
                                                : std::nullopt;
  if (!guessed) return std::nullopt;
  const auto key = types.keyOfKind.find(*guessed);
  if (key == types.keyOfKind.end()) return std::nullopt;
  return std::make_pair(*guessed, key->second);
}

class Assembly {
 public:
  explicit Assembly(const ContactLists& live) : types_(live.mimeTypes), live_(live, types_) {}

  void Take(const engine::RecoveredContactRow& row) {
    const std::string_view text = TextOf(row.data1);
    if (!MakesAValue(text)) return;
    const auto kind = kindOf(row, text, types_);
    if (!kind) return;
    Value value{kind->first, kind->second, std::string(text), normalOf(kind->first, text), &row};
    const std::optional<std::int32_t> raw = RecordKeyOf(row.rawContactId);
    if (!raw) {
      takeAlone(std::move(value), row.sources);
      return;
    }
    bool rawIsLive = false;
    const ContactRecord* liveContact = live_.contactOfLiveRaw(*raw, rawIsLive);
    if (rawIsLive) {
      // A deleted value of a live contact: its current name and values are
      // not deleted ones.
      if (liveContact == nullptr || value.kind == Kind::kName ||
          live_.contactHolds(liveContact->contactKey, indexKeyOf(value.kind, value.normal))) {
        return;
      }
    }
    const auto [group, added] = groupOfRaw_.emplace(*raw, groups_.size());
    if (added) groups_.push_back(Group{raw, liveContact, {}, 0});
    addValue(group->second, std::move(value), row.sources);
  }

  // The groups that make deleted records, each once: a group whose name
  // and values another has again gives that one its sources.
  std::vector<const Group*> Records() {
    std::vector<Group*> records;
    std::unordered_map<std::string, std::size_t> seen;
    for (Group& group : groups_) {
      if (group.values.empty()) continue;
      if (group.liveContact == nullptr && live_.holdsAllOf(group)) continue;
      const auto [same, added] = seen.emplace(signatureOf(group), records.size());
      if (added) {
        records.push_back(&group);
      } else {
        records[same->second]->sources |= group.sources;
      }
    }
    return std::vector<const Group*>(records.begin(), records.end());
  }

 private:
  // A row without a raw contact stands alone, unless its value is live or
  // some group holds it already.
  void takeAlone(Value value, engine::RowSources sources) {
    const std::string indexKey = indexKeyOf(value.kind, value.normal);
    if (live_.anyHolds(indexKey)) return;
    const auto holders = groupsByValue_.find(indexKey);
    if (holders != groupsByValue_.end() && !holders->second.empty()) {
      groups_[holders->second.front()].sources |= sources;
      return;
    }
    groups_.push_back(Group{std::nullopt, nullptr, {}, 0});
    addValue(groups_.size() - 1, std::move(value), sources);
  }

  void addValue(std::size_t index, Value value, engine::RowSources sources) {
    Group& group = groups_[index];
    group.sources |= sources;
    const std::string indexKey = indexKeyOf(value.kind, value.normal);
    if (!groupValueKeys_.insert(groupValueKey(index, indexKey)).second) return;
    groupsByValue_[indexKey].push_back(index);
    group.values.push_back(std::move(value));
  }

  static std::string signatureOf(const Group& group) {
    std::vector<std::string> keys;
    for (const Value& value : group.values) keys.push_back(static_cast<char>(value.kind) + value.normal);
    std::sort(keys.begin(), keys.end());
    std::string signature = group.liveContact != nullptr ? "live" + std::to_string(group.liveContact->contactKey) : "";
    for (const std::string& key : keys) signature += '\x1F' + key;
    return signature;
  }

  MimeTypes types_;
  LiveContacts live_;
  std::vector<Group> groups_;
  std::unordered_map<std::int32_t, std::size_t> groupOfRaw_;
  std::unordered_map<std::string, std::vector<std::size_t>> groupsByValue_;
  std::unordered_set<std::string> groupValueKeys_;
};

// The text of a number kept as text, when it is a whole number (as the
// live reader keeps type codes).
bool isWholeNumber(std::string_view text) {
  if (text.empty() || text.size() > 10) return false;
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The display name a group's name rows give: the display name, else the
// given and family names.
std::string nameOf(const Group& group) {
  for (const Value& value : group.values) {
    if (value.kind == Kind::kName) return value.text;
  }
  return std::string();
}

class RecordMaker {
 public:
  RecordMaker(RecordArena& arena, std::vector<ContactRecord*>& contacts, DataRowRecord** dataRows)
      : arena_(arena), contacts_(contacts), tail_(dataRows) {
    while (*tail_ != nullptr) tail_ = &(*tail_)->next;
  }

  bool Make(const Group& group) {
    auto* contact = arena_.NewRecord<ContactRecord>();
    if (contact == nullptr) return false;
    contact->contactKey = -static_cast<std::int32_t>(contacts_.size() + 1);
    contact->checked = 1;
    contact->deleted = 1;
    contact->sources = static_cast<std::int32_t>(group.sources);
    if (group.liveContact != nullptr) {
      contact->displayName = copy(group.liveContact->displayName == nullptr ? "" : group.liveContact->displayName);
      contact->displayNameSource = group.liveContact->displayNameSource;
    } else {
      const std::string name = nameOf(group);
      if (!name.empty()) {
        contact->displayName = copy(name);
        contact->displayNameSource = kDisplayNameFromStructuredName;
      }
      contact->personKey = group.rawContact.value_or(0);
    }
    for (const Value& value : group.values) {
      if (!makeDataRow(*contact, group, value)) return false;
    }
    if (arena_.full()) return false;
    contacts_.push_back(contact);
    return true;
  }

 private:
  bool makeDataRow(const ContactRecord& contact, const Group& group, const Value& value) {
    auto* row = arena_.NewRecord<DataRowRecord>();
    if (row == nullptr) return false;
    const engine::RecoveredContactRow& source = *value.row;
    row->mimeTypeKey = value.mimeTypeKey;
    row->contactKey = contact.contactKey;
    row->dataKey = RecordKeyOf(source.rowid).value_or(0);
    row->rawContactKey = group.rawContact.value_or(0);
    row->value = copy(value.text);
    const std::string_view type = TextOf(source.data2);
    if (value.kind == Kind::kOrganization) {
      row->title = copyIfValue(source.data4);
      row->department = copyIfValue(source.data5);
    } else if (value.kind == Kind::kName) {
      row->givenName = copyIfText(source.data2);
      row->familyName = copyIfText(source.data3);
    } else if (isWholeNumber(type)) {
      row->typeCode = copy(type);
      if (type == "0") row->label = copyIfValue(source.data3);
    }
    *tail_ = row;
    tail_ = &row->next;
    return true;
  }

  const char* copy(std::string_view text) { return arena_.CopyText(text); }
  const char* copyIfValue(const std::string& stored) {
    const std::string_view text = TextOf(stored);
    return MakesAValue(text) ? copy(text) : nullptr;
  }
  // A part of a name may be one letter.
  const char* copyIfText(const std::string& stored) {
    const std::string_view text = TextOf(stored);
    return !text.empty() && platform::isValidUtf8(text) ? copy(text) : nullptr;
  }

  RecordArena& arena_;
  std::vector<ContactRecord*>& contacts_;
  DataRowRecord** tail_;
};

}  // namespace

std::size_t AssembleDeletedContacts(const std::vector<engine::RecoveredContactRow>& rows, const ContactLists& live,
                                    RecordArena& arena, std::vector<ContactRecord*>& contacts,
                                    DataRowRecord** dataRows, const ProgressUnit& onRow) {
  if (rows.empty()) return 0;
  Assembly assembly(live);
  for (const engine::RecoveredContactRow& row : rows) {
    assembly.Take(row);
    if (onRow) onRow();
  }
  RecordMaker maker(arena, contacts, dataRows);
  std::size_t made = 0;
  for (const Group* group : assembly.Records()) {
    if (!maker.Make(*group)) break;
    ++made;
  }
  return made;
}

}  // namespace phone
