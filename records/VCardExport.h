#pragma once
// The contacts a phone's Contacts app imports: "contacts.vcf" in the export
// root, every checked contact, live and deleted, as one vCard 3.0 (RFC
// 2426) each, in the order of the other exports (live, then deleted).
//
//   BEGIN:VCARD
//   VERSION:3.0
//   N:<family>;<given>;;;       the structured name's parts (empty when the
//                               phone kept none)
//   FN:<name>                   the display name; a contact without one is
//                               named by its first number (else e-mail
//                               address, else company)
//   TEL;TYPE=CELL:<number>      one per number, its type as vCard names it
//                               (a custom type as X-<label>)
//   EMAIL;TYPE=INTERNET,HOME:.. one per address
//   ORG:<company>;<department>  one per company, with TITLE:<title>
//   NOTE:Recovered ...          a deleted contact: that it was deleted and
//                               where it was found
//   END:VCARD
//
// UTF-8 without a byte-order mark, CR LF line ends, values escaped and long
// lines folded (VCardText.h): nothing in a value can end a property or a
// card early.

#include <cstdint>

#include "records/ExportState.h"

namespace records {

constexpr char16_t kVCardName[] = u"contacts.vcf";

// How an export that writes a file for the phone takes part: on its own
// (each record a progress step and counted as exported), or beside the
// text files, which already step and count.
enum class PhoneFileRole { kAlone, kBesideText };

// Writes contacts.vcf when a contact is checked and the category holds
// records. Returns -1 when stopped or the file failed (the failure is in
// the state), else the contacts written.
std::int32_t ExportVCards(const ExportRecords& records, const ExportCategory& contacts, ExportState& state,
                          PhoneFileRole role);

// The vCard 3.0 TYPE of an Android phone type (Phone.TYPE) and its custom
// label: "CELL", "HOME,VOICE", "WORK,FAX", ...; empty when it has none.
std::string PhoneVCardType(std::int32_t type, const char* label);

}  // namespace records
