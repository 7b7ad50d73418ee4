#pragma once
// The update check's decisions, apart from any window or network: what the
// vendor's update description offers this product, whether that is another
// version than ours, and where the description is fetched from.
//
// The description is a small JSON document; the program reads
//
//   "PhoneContactsRescue"            array, member of the root object
//   "PhoneContactsRescue"[0]         object, the entry that is used
//   ...[0]."Nversion"                string, newest version, compared with ours
//   ...[0]."Version", "Update_URL"   strings, read and kept
//
// Other members (entries of other products) are ignored.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace app {

// Only this many bytes of the answer are read and used.
constexpr std::size_t kUpdateAnswerLimit = 1024;

// Where the description lies on the vendor's web site.
constexpr std::string_view kUpdateDocumentPath = "/download/update/zephyrloom_update.txt";

// The environment variable that replaces the description's address (tests,
// administrators); "off" or an empty value turns the check off.
constexpr const char* kUpdateAddressVariable = "ZEPHYRLOOM_UPDATE_URL";

// The first entry of this product in the description, its values as text.
// A missing member or null reads as empty; true and false as "true" and
// "false".
struct UpdateOffer {
  std::string version;        // "Version"
  std::string newestVersion;  // "Nversion"
  std::string updateUrl;      // "Update_URL"
};

// Reads an answer: its first kUpdateAnswerLimit bytes, up to the first zero
// byte, parsed as JSON in jsoncpp's default (lenient) mode. A text that does
// not parse, or lacks the product's entry, gives an empty offer; whatever
// parsed before a text broke off still counts. No offer at all (nullopt)
// when the document has another shape than the one above: a root that is
// not an object, a product member that is not an array, an entry that is
// not an object, a value that is a number, an array or an object, or
// nesting too deep for the parser. Never throws for any input.
std::optional<UpdateOffer> ReadUpdateDescription(std::string_view answer);

// Whether the offer is another version than `ownVersion`: its newest version
// is not empty and differs byte for byte (older ones and the same version
// written differently count as other).
bool OffersOtherVersion(const UpdateOffer& offer, std::string_view ownVersion);

// Both together: whether the answer should make the program ask to update.
bool AnswerOffersOtherVersion(std::string_view answer, std::string_view ownVersion);

// Where the check fetches the description from, or that it does not run.
struct UpdateSource {
  bool enabled = false;
  // The address came from kUpdateAddressVariable rather than being the
  // vendor's (a local server needs no network connection).
  bool replaced = false;
  std::string address;
};

// The vendor's address: "http://" + host + kUpdateDocumentPath.
std::string DefaultUpdateAddress(std::string_view vendorHost);

// Chooses the source from the variable's value (nullopt when it is not
// set). Not set: the default address. Empty or "off" (any case, blanks
// around it ignored): no check. An http:// or https:// address: that
// address. Anything else: no check, as no other kind of address is fetched.
UpdateSource ChooseUpdateSource(const std::optional<std::string>& variable, const std::string& defaultAddress);

}  // namespace app
