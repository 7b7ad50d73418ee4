#include "app/UpdateCheck.h"

#include <json/json.h>

#include <algorithm>
#include <exception>

namespace app {

namespace {

constexpr const char* kProductKey = "PhoneContactsRescue";

// A looked-up value as text. Only strings, null and booleans are texts; a
// number, an array or an object is not (and converting the latter two would
// throw).
bool textOf(const Json::Value& value, std::string& text) {
  switch (value.type()) {
    case Json::nullValue:
      text.clear();
      return true;
    case Json::stringValue:
      text = value.asString();
      return true;
    case Json::booleanValue:
      text = value.asBool() ? "true" : "false";
      return true;
    case Json::intValue:
    case Json::uintValue:
    case Json::realValue:
    case Json::arrayValue:
    case Json::objectValue:
      return false;
  }
  return false;
}

std::optional<UpdateOffer> offerOf(const Json::Value& root) {
  if (root.isNull()) return UpdateOffer{};
  if (!root.isObject()) return std::nullopt;
  const Json::Value& entries = root[kProductKey];
  if (entries.isNull()) return UpdateOffer{};
  if (!entries.isArray()) return std::nullopt;
  if (entries.empty()) return UpdateOffer{};
  const Json::Value& entry = entries[Json::ArrayIndex{0}];
  if (entry.isNull()) return UpdateOffer{};
  if (!entry.isObject()) return std::nullopt;
  UpdateOffer offer;
  if (!textOf(entry["Version"], offer.version) || !textOf(entry["Nversion"], offer.newestVersion) ||
      !textOf(entry["Update_URL"], offer.updateUrl)) {
    return std::nullopt;
  }
  return offer;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), text.begin(),
                    [](char a, char b) { return lowerAscii(a) == lowerAscii(b); });
}

bool equalsNoCase(std::string_view text, std::string_view other) {
  return text.size() == other.size() && startsWithNoCase(text, other);
}

}  // namespace

std::optional<UpdateOffer> ReadUpdateDescription(std::string_view answer) {
  std::string_view used = answer.substr(0, std::min(answer.size(), kUpdateAnswerLimit));
  used = used.substr(0, used.find('\0'));
  const std::string text(used);
  Json::Value root;
  try {
    // The default features: comments allowed, any value as the root. The
    // result is not checked: a text that breaks off keeps what it held
    // before the break, and one that does not parse leaves the root null.
    Json::Reader reader;
    reader.parse(text.data(), text.data() + text.size(), root, false);
    return offerOf(root);
  } catch (const std::exception&) {
    // The parser's depth limit, or a conversion that refused.
    return std::nullopt;
  }
}

bool OffersOtherVersion(const UpdateOffer& offer, std::string_view ownVersion) {
  return !offer.newestVersion.empty() && offer.newestVersion != ownVersion;
}

bool AnswerOffersOtherVersion(std::string_view answer, std::string_view ownVersion) {
  const std::optional<UpdateOffer> offer = ReadUpdateDescription(answer);
  return offer.has_value() && OffersOtherVersion(*offer, ownVersion);
}

std::string DefaultUpdateAddress(std::string_view vendorHost) {
  std::string address = "http://";
  address += vendorHost;
  address += kUpdateDocumentPath;
  return address;
}

UpdateSource ChooseUpdateSource(const std::optional<std::string>& variable, const std::string& defaultAddress) {
  UpdateSource source;
  if (!variable.has_value()) {
    source.enabled = !defaultAddress.empty();
    source.address = defaultAddress;
    return source;
  }
  const std::string_view value = trimmed(*variable);
  if (value.empty() || equalsNoCase(value, "off")) return source;
  if (!startsWithNoCase(value, "http://") && !startsWithNoCase(value, "https://")) return source;
  source.enabled = true;
  source.replaced = true;
  source.address = std::string(value);
  return source;
}

}  // namespace app
