#pragma once
// Where a record was found, as the exports and the views name it. A deleted
// record names every place it was found in (a mask of engine::RowSource
// bits); a live record has none.

#include <cstdint>
#include <string>

namespace records {

// For the spreadsheet and the report: "free space", "freelist", "WAL",
// "journal", "marked deleted", "search index", joined by "; " when there
// are several; "live" for none.
std::string SourceNames(std::int32_t sources);

// For people, on the contact card and beside a deleted message: "found in
// the database's write-ahead log and in the free space of its pages";
// empty for none. UTF-8.
std::string SourceWords(std::int32_t sources);

// True when the search index alone gave the record: its text is words
// without punctuation, not what was written.
bool OnlyFromSearchIndex(std::int32_t sources);

}  // namespace records
