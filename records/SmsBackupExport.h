#pragma once
// The messages the SMS backup-and-restore apps of Android put back on a
// phone: "messages.xml" in the export root, in the format those apps write
// and read.
//
//   <?xml version='1.0' encoding='UTF-8' standalone='yes' ?>
//   <!-- what was written, left out or given a date -->
//   <smses count="N">
//     <sms protocol="0" address="..." date="<ms>" type="1" subject="null"
//          body="..." toa="null" sc_toa="null" service_center="null"
//          read="1" status="-1" locked="0" date_sent="0"
//          readable_date="2019-01-13 16:54:50" contact_name="Ann" />
//   </smses>
//
// The checked conversations' messages, live and deleted, conversation by
// conversation in time order. `type` is the message's box (1 received, 2
// sent, 3 draft, 4 outbox, 5 failed, 6 queued; a deleted message of no
// known box by its direction, else 1); `contact_name` is the sender's name
// (RecordFacts), "null" when unknown, as the apps write it. A deleted
// message without a date takes the date of the message before it in its
// conversation; one without a number, or without any date before it, is
// left out: the comment says how many of each.
//
// Attribute values are escaped for XML 1.0 (a line break as &#10;, so the
// reader keeps it); characters XML 1.0 forbids (control characters but
// tab, CR and LF) are dropped and counted in the comment and in the state.

#include <cstdint>
#include <string>
#include <string_view>

#include "records/ExportState.h"
#include "records/VCardExport.h"

namespace records {

constexpr char16_t kSmsBackupName[] = u"messages.xml";

// The text as an XML 1.0 attribute value (without its quotes); characters
// XML forbids are dropped and added to `dropped`.
std::string XmlAttributeText(std::string_view utf8, std::int64_t& dropped);
// The same, appended to `xml`.
void AppendXmlAttributeText(std::string& xml, std::string_view utf8, std::int64_t& dropped);

// Writes messages.xml when a conversation is checked and the category
// holds records. Returns -1 when stopped or the file failed (the failure is
// in the state), else the messages written.
std::int32_t ExportSmsBackup(const ExportRecords& records, const ExportCategory& messages, ExportState& state,
                             PhoneFileRole role);

}  // namespace records
