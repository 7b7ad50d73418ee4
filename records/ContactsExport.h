#pragma once
// The contacts export file: every checked contact, live and deleted, in one
// file "contacts.txt" inside the Contacts category folder of the export root.
//
//   Contacts:
//   <name>(<label>) : <value>          one line per phone, e-mail or
//   ...                                organisation row of a checked contact
//   ------------------------------------------------------------------
//   Deleted:                           these two when there are deleted
//   <name>(<label>) : <value>          contacts; then the checked deleted
//   ...                                contacts, written as the live ones
//
// <name> is the display name of a contact whose name comes from a structured
// name (source 40), else "No Name0", "No Name1", ... numbered among the
// checked unnamed contacts of this export. <label> is "Company" for an
// organisation, else the phone or e-mail type label (TypeLabels.h). A value
// recovered as a line of text, of no known kind, is written "<name> :
// <value>".

#include <cstdint>

#include "records/ExportState.h"

namespace records {

// The name of the contacts file in its category folder.
constexpr char16_t kContactsFileName[] = u"contacts.txt";

// Writes the checked contacts. Returns -1 when the stop flag was found set
// before a contact or a file or folder could not be made or written (the
// failure is in the state; the lines written so far stay), 0 when no contact
// is checked (nothing is created), else the number of checked contacts,
// live plus recovered, each of which advanced the progress once.
//
// Waits on the pause event before each live contact. The recovered
// contacts are written without waiting, but the stop flag is looked at
// before each of them.
std::int32_t ExportContacts(const ExportRecords& records, const ExportCategory& category, ExportState& state);

}  // namespace records
