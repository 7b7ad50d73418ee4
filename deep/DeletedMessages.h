#pragma once
// The deleted rows of the `sms` table that the deep pass finds (in the free
// space of its current leaves, on freelist pages, in WAL frames and journal
// pages) and the texts the full-text index still holds of deleted messages.
//
// A row is left out when neither its address nor its body carries text, or
// when a live row has the same address, body and date (an older image of a
// live message). The same row found in several images is kept once and
// names every source.

#include <cstdint>
#include <string>
#include <vector>

#include "deep/DeepOptions.h"
#include "engine/RecoveredRows.h"

namespace deep {

struct FoundMessage {
  engine::RecoveredMessageRow row;
  Source source;  // where the copy that was kept was found
};

struct MessageFindings {
  // Rows with a rowid by rowid, then the rest in the order found; then the
  // search index's texts (source kFullText: a body of words, nothing else).
  std::vector<FoundMessage> rows;
  std::uint64_t inputBytes = 0;  // of the copy and its side files
};

// `knownBodies` are bodies recovered elsewhere (by the session): the search
// index's words of those are not given again.
MessageFindings FindDeletedMessages(const std::string& smsCopy, const std::vector<std::string>& knownBodies,
                                    const DeepOptions& options);

}  // namespace deep
