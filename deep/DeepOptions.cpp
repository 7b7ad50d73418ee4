#include "deep/DeepOptions.h"

namespace deep {

const char* sourceName(Source source) {
  switch (source) {
    case Source::kWal:
      return "wal";
    case Source::kJournal:
      return "journal";
    case Source::kMarkedDeleted:
      return "marked-deleted";
    case Source::kFreeSpace:
      return "free-space";
    case Source::kFreelist:
      return "freelist";
    case Source::kFullText:
      return "full-text";
  }
  return "?";
}

engine::RowSources RowSourcesOf(unsigned sources) {
  using engine::RowSource;
  static constexpr RowSource kRowSource[kSourceCount] = {RowSource::kWal,       RowSource::kJournal,
                                                         RowSource::kMarkedDeleted, RowSource::kFreeSpace,
                                                         RowSource::kFreelist,  RowSource::kSearchIndex};
  engine::RowSources rowSources = 0;
  for (std::size_t source = 0; source < kSourceCount; ++source) {
    if ((sources >> source & 1u) != 0) rowSources |= engine::SourceBit(kRowSource[source]);
  }
  return rowSources;
}

}  // namespace deep
