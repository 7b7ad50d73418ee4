#pragma once
// Which of the places the deep pass reads it reads (all by default), and
// how each place is named.
//
//   kWal            the main file's and every WAL frame's page images:
//                   rows the state of the log no longer holds
//   kJournal        page images in a rollback journal (PERSIST, TRUNCATE)
//   kMarkedDeleted  raw contacts marked deleted (a synced account's
//                   contacts until the account syncs) with their data rows
//   kFreeSpace      cells of every alignment in the freeblocks and the
//                   unassigned areas of the table's leaf pages
//   kFreelist       pages on the freelist, read as leaf pages of the table
//   kFullText       the postings of deleted messages in the segments of the
//                   full-text index `words`: their words in order

#include <cstddef>
#include <cstdint>

#include "engine/RecoveredRows.h"

namespace deep {

enum class Source : std::uint8_t { kWal, kJournal, kMarkedDeleted, kFreeSpace, kFreelist, kFullText };
constexpr std::size_t kSourceCount = 6;
const char* sourceName(Source source);

// The bit of a source in a mask of sources.
constexpr unsigned SourceMask(Source source) { return 1u << static_cast<unsigned>(source); }

// The row sources (engine::RowSource bits) a mask of sources stands for.
engine::RowSources RowSourcesOf(unsigned sources);

struct DeepOptions {
  unsigned sources = (1u << kSourceCount) - 1;  // one bit per Source

  bool reads(Source source) const { return (sources & SourceMask(source)) != 0; }
  static DeepOptions only(Source source) { return DeepOptions{SourceMask(source)}; }
};

}  // namespace deep
