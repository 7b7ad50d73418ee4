#pragma once
// The deleted rows a recovery hands on to the records, as structs: every
// column of the row that the records use, read as it is stored, and where
// the row was found. The recovery session and the deep pass both make them;
// the import (phone/DeletedContactAssembly, phone/DeletedMessagePlacement)
// turns them into whole records.
//
// A column the cell did not hold, or held in a form that is no number, is
// absent (an empty optional); texts are the stored bytes (UTF-8 as the
// phone wrote them, or whatever a damaged cell holds), numbers stored in a
// text column are their decimal text. Nothing here is trusted: the import
// bounds every number and checks every text.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace engine {

// Where a row was found; a record found in several places names them all,
// one bit each (SourceBit).
enum class RowSource : std::uint8_t {
  kFreeSpace = 0,      // freeblocks and unassigned areas of the table's pages
  kFreelist = 1,       // pages on the freelist
  kWal = 2,            // the write-ahead log (and main-file pages it replaced)
  kJournal = 3,        // page images in a rollback journal
  kMarkedDeleted = 4,  // a raw contact the phone marked deleted and still keeps
  kSearchIndex = 5,    // the full-text search index: words only
};
constexpr unsigned kRowSourceCount = 6;

using RowSources = std::uint32_t;

constexpr RowSources SourceBit(RowSource source) { return RowSources{1} << static_cast<unsigned>(source); }

// A contacts `data` row.
struct RecoveredContactRow {
  std::optional<std::int64_t> rowid;  // data._id, when the cell still had it
  std::optional<std::int64_t> rawContactId;
  std::optional<std::int64_t> mimeTypeId;
  std::string data1;  // the value: name, number, address, company
  std::string data2;  // names: given name; numbers, e-mail: type code; companies: type
  std::string data3;  // names: family name; numbers, e-mail: the custom label
  std::string data4;  // companies: job title
  std::string data5;  // companies: department
  RowSources sources = 0;
  std::uint32_t page = 0;  // the page (or log frame, journal record) it was first found in
};

// An `sms` row.
struct RecoveredMessageRow {
  std::optional<std::int64_t> rowid;  // sms._id, when the cell still had it
  std::optional<std::int64_t> threadId;
  std::optional<std::int64_t> date;      // milliseconds since 1970 UTC
  std::optional<std::int64_t> dateSent;  // the same, as the sender's phone stamped it
  std::optional<std::int64_t> type;      // 1 inbox, 2 sent, 3 draft, 4 outbox, 5 failed, 6 queued
  std::optional<std::int64_t> read;
  std::optional<std::int64_t> person;
  std::string address;
  std::string body;
  RowSources sources = 0;
  std::uint32_t page = 0;
};

// What one recovery found in the two copies.
struct RecoveredRows {
  std::vector<RecoveredContactRow> contacts;
  std::vector<RecoveredMessageRow> messages;
};

}  // namespace engine
