#include "records/SourceText.h"

#include <vector>

#include "engine/RecoveredRows.h"

namespace records {

namespace {

struct SourceText {
  engine::RowSource source;
  const char* name;
  const char* words;
};

// In the order they are named.
constexpr SourceText kSources[] = {
    {engine::RowSource::kWal, "WAL", "the database's write-ahead log"},
    {engine::RowSource::kJournal, "journal", "the database's rollback journal"},
    {engine::RowSource::kMarkedDeleted, "marked deleted", "a contact the phone marked deleted, not yet synced"},
    {engine::RowSource::kFreeSpace, "free space", "the free space of the database's pages"},
    {engine::RowSource::kFreelist, "freelist", "a free page of the database"},
    {engine::RowSource::kSearchIndex, "search index", "the search index (words only, without punctuation)"},
};
static_assert(sizeof kSources / sizeof kSources[0] == engine::kRowSourceCount, "a text for every source");

std::vector<const SourceText*> sourcesOf(std::int32_t sources) {
  std::vector<const SourceText*> found;
  for (const SourceText& source : kSources) {
    if ((static_cast<engine::RowSources>(sources) & engine::SourceBit(source.source)) != 0) found.push_back(&source);
  }
  return found;
}

}  // namespace

std::string SourceNames(std::int32_t sources) {
  std::string names;
  for (const SourceText* source : sourcesOf(sources)) {
    if (!names.empty()) names += "; ";
    names += source->name;
  }
  return names.empty() ? "live" : names;
}

std::string SourceWords(std::int32_t sources) {
  const std::vector<const SourceText*> found = sourcesOf(sources);
  if (found.empty()) return std::string();
  std::string words = "found in ";
  for (std::size_t k = 0; k < found.size(); ++k) {
    if (k > 0) words += k + 1 == found.size() ? " and in " : ", in ";
    words += found[k]->words;
  }
  return words;
}

bool OnlyFromSearchIndex(std::int32_t sources) {
  return static_cast<engine::RowSources>(sources) == engine::SourceBit(engine::RowSource::kSearchIndex);
}

}  // namespace records
