#include "records/VCardExport.h"

#include <string>
#include <vector>

#include "platform/FileOperations.h"
#include "records/ExportFile.h"
#include "records/ExportJob.h"
#include "records/ExportWalk.h"
#include "records/RecordFacts.h"
#include "records/RecordIndex.h"
#include "records/SourceText.h"
#include "records/TypeLabels.h"
#include "records/VCardText.h"

namespace records {

namespace {

constexpr std::int32_t kCustomType = 0;

std::string textOf(const char* narrow) { return Utf8Text(narrow); }

// A custom label as a vCard type name: X- and its ASCII letters, digits and
// hyphens; nothing when it has none.
std::string customTypeOf(const char* label) {
  std::string name;
  for (const char* c = label; c != nullptr && *c != '\0'; ++c) {
    const char ch = *c;
    if ((ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '-') name += ch;
  }
  return name.empty() ? std::string() : "X-" + name;
}

std::string emailVCardType(std::int32_t type, const char* label) {
  switch (type) {
    case 1:
      return "INTERNET,HOME";
    case 2:
      return "INTERNET,WORK";
    case 4:
      return "INTERNET,X-MOBILE";
    case kCustomType: {
      const std::string custom = customTypeOf(label);
      return custom.empty() ? "INTERNET" : "INTERNET," + custom;
    }
    default:
      return "INTERNET";
  }
}

void addLine(std::string& card, std::string_view name, std::string_view type, const std::string& value) {
  std::string line(name);
  if (!type.empty()) line.append(";TYPE=").append(type);
  line.append(":").append(value);
  card += VCardFolded(line);
}

// The name a card goes by: the display name, else its first number,
// e-mail address or company.
std::string formattedNameOf(const phone::ContactRecord& contact, const std::vector<const phone::DataRowRecord*>& rows,
                            const ContactIndex& index) {
  const std::string name = textOf(contact.displayName);
  if (!name.empty()) return name;
  for (const DetailKind wanted : {DetailKind::kPhone, DetailKind::kUnknown, DetailKind::kEmail, DetailKind::kOrganization}) {
    for (const phone::DataRowRecord* row : rows) {
      if (index.kindOf(*row) == wanted && row->value != nullptr && row->value[0] != '\0') return textOf(row->value);
    }
  }
  return "No Name";
}

std::string cardOf(const phone::ContactRecord& contact, const ContactIndex& index) {
  const std::vector<const phone::DataRowRecord*>& rows = index.rowsOf(contact.contactKey);
  std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
  std::string family;
  std::string given;
  for (const phone::DataRowRecord* row : rows) {
    if (index.kindOf(*row) != DetailKind::kName) continue;
    family = textOf(row->familyName);
    given = textOf(row->givenName);
    break;
  }
  card += VCardFolded("N:" + VCardEscaped(family) + ";" + VCardEscaped(given) + ";;;");
  card += VCardFolded("FN:" + VCardEscaped(formattedNameOf(contact, rows, index)));
  for (const phone::DataRowRecord* row : rows) {
    const std::string value = VCardEscaped(textOf(row->value));
    switch (index.kindOf(*row)) {
      case DetailKind::kPhone:
        addLine(card, "TEL", PhoneVCardType(row->typeCode != nullptr ? TypeCodeOf(row->typeCode) : -1, row->label),
                value);
        break;
      case DetailKind::kUnknown:
        addLine(card, "TEL", "", value);
        break;
      case DetailKind::kEmail:
        addLine(card, "EMAIL", emailVCardType(row->typeCode != nullptr ? TypeCodeOf(row->typeCode) : -1, row->label),
                value);
        break;
      case DetailKind::kOrganization: {
        const std::string department = textOf(row->department);
        addLine(card, "ORG", "", department.empty() ? value : value + ";" + VCardEscaped(department));
        const std::string title = textOf(row->title);
        if (!title.empty()) addLine(card, "TITLE", "", VCardEscaped(title));
        break;
      }
      case DetailKind::kName:
      case DetailKind::kOther:
        break;
    }
  }
  if (contact.deleted != 0) {
    addLine(card, "NOTE", "",
            VCardEscaped("Recovered by Zephyrloom Rescue: deleted on the phone, " + SourceWords(contact.sources) + "."));
  }
  card += "END:VCARD\r\n";
  return card;
}

}  // namespace

std::string PhoneVCardType(std::int32_t type, const char* label) {
  // Indexed by Android's Phone.TYPE, 1 to 20.
  static constexpr const char* kTypes[] = {
      "",          "HOME,VOICE", "CELL",      "WORK,VOICE", "WORK,FAX",  "HOME,FAX",   "PAGER",
      "OTHER",     "X-CALLBACK", "CAR",       "WORK,PREF",  "ISDN",      "MAIN",       "FAX",
      "X-RADIO",   "X-TELEX",    "X-TTY-TDD", "WORK,CELL",  "WORK,PAGER", "X-ASSISTANT", "MSG",
  };
  if (type == kCustomType) return customTypeOf(label);
  if (type < 0 || static_cast<std::size_t>(type) >= sizeof kTypes / sizeof kTypes[0]) return std::string();
  return kTypes[type];
}

std::int32_t ExportVCards(const ExportRecords& records, const ExportCategory& contacts, ExportState& state,
                          PhoneFileRole role) {
  if (CountCheckedRecords(records, contacts, ExportCategory()) == 0) return 0;
  const ContactIndex index(records);
  ExportFile file(state.outputFolder + platform::kPathSeparator + kVCardName);
  const bool alone = role == PhoneFileRole::kAlone;
  std::int32_t written = 0;
  const bool walked = WalkContacts(
      records, state,
      [&](const phone::ContactRecord& contact) {
        if (!file.Write(cardOf(contact, index))) {
          state.Fail(file.failure());
          return Visit::kFailed;
        }
        ++written;
        if (alone) ++state.contactsExported;
        return Visit::kWritten;
      },
      alone);
  if (!walked) return -1;
  if (!file.Close()) {
    state.Fail(file.failure());
    return -1;
  }
  ++state.filesWritten;
  return written;
}

}  // namespace records
