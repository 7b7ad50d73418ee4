#pragma once
// The deleted rows of the contacts `data` table that the deep pass finds:
// in the free space of its current leaves, on freelist pages, in WAL frames
// and journal pages, and the rows of raw contacts the phone marked deleted.
//
// A row is left out when its text is empty or no UTF-8, when the current
// state holds the same value for the same raw contact, or when it is an
// older image of a live row (same rowid, same value). The same row found in
// several images is kept once and names every source.

#include <cstdint>
#include <string>
#include <vector>

#include "deep/DeepOptions.h"
#include "engine/RecoveredRows.h"

namespace deep {

struct FoundContact {
  engine::RecoveredContactRow row;
  std::string group;         // raw_contact_id as text, by which the text pairs rows
  Source source;             // where the copy that was kept was found
  bool repeatsLive = false;  // data1 is the value of a live row too
};

struct ContactFindings {
  // Rows of raw contacts marked deleted first, then the others: rows with a
  // rowid by rowid, then the rest in the order found.
  std::vector<FoundContact> rows;
  std::uint64_t inputBytes = 0;  // of the copy and its side files
};

ContactFindings FindDeletedContacts(const std::string& contactsCopy, const DeepOptions& options);

}  // namespace deep
