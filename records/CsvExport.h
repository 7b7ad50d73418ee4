#pragma once
// The spreadsheet export: "contacts.csv" and "messages.csv" in the export
// root, for any spreadsheet or CSV reader.
//
// Each file is UTF-8 with a byte-order mark (so that a spreadsheet takes
// it for UTF-8 and shows Chinese and emoji as they are), a header record,
// then one record per row, every record ended by CR LF. A field that holds
// a comma, a double quote, a CR or a LF is put in double quotes, a double
// quote inside doubled (RFC 4180).
//
// A field is never a formula: a spreadsheet evaluates a cell that begins
// with "=", "+", "-" or "@" (and some a TAB or a CR before them), so such a
// field gets a leading "'", which spreadsheets take as "show as text" and
// do not show. This holds for phone numbers too: "+14155550100" is written
// '+14155550100 and shows as +14155550100, where unguarded it would be
// taken for the sum 14155550100 (1.42E+10) and lose its "+". A program
// reading the file drops a "'" that stands before one of those six
// characters at the start of a field.
//
// contacts.csv, one row per detail of a checked contact (phone number,
// e-mail address, company), a contact without any in one row of its own;
// the rows of one contact share its Record number (1, 2, ... in the order
// written: live contacts, then deleted ones):
//   Record,State,Source,Name,Kind,Type,Value
//   1,live,live,Ann,phone,Mobile,'+14155550100
//   2,deleted,WAL; free space,Bob,phone,Main,5550001
//   2,deleted,WAL; free space,Bob,e-mail,Work Email,bob@example.com
// messages.csv, one row per message of a checked conversation, in the
// conversation's order, deleted ones among them; then the messages of the
// conversations only deleted messages hold:
//   State,Source,Name,Number,Type,Date,Direction,Body
//   live,live,Ann,'+14155550100,Inbox,2019-01-13T16:54:50+01:00,received,Hi
//   deleted,journal,Ann,'+14155550100,Sent,2019-01-13T16:58:02+01:00,sent,"Hello, you"
// Source names every place a deleted record was found (SourceText.h).
// (RecordFacts.h says what each field holds.)

#include <cstdint>
#include <string>
#include <string_view>

#include "records/ExportState.h"

namespace records {

constexpr char16_t kContactsCsvName[] = u"contacts.csv";
constexpr char16_t kMessagesCsvName[] = u"messages.csv";

// One field as written: guarded against formulas, then quoted when needed.
std::string CsvField(std::string_view utf8);

// Writes contacts.csv when a contact is checked and the Contacts category
// holds records, and messages.csv likewise for the Message category.
// Returns -1 when the export was stopped or a file failed (the failure is
// in the state), else the records handled, each of which advanced the
// progress once.
std::int32_t ExportSpreadsheet(const ExportRecords& records, const ExportCategory& contacts,
                               const ExportCategory& messages, ExportState& state);

}  // namespace records
