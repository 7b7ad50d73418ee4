#include "deep/CandidateStore.h"

#include <algorithm>
#include <cstring>

namespace deep {

namespace {

constexpr std::size_t kChunkBytes = 1u << 20;
constexpr char kStoredKind = 'T';  // a text or blob: its bytes
constexpr char kNumberKind = 'N';  // NULL or a number: as text
constexpr char kIntegerKind = 'I';  // a whole number, in decimal

bool isStored(const Value& value) { return value.kind == Value::Kind::kText || value.kind == Value::Kind::kBlob; }

char kindOf(const Value& value) {
  if (isStored(value)) return kStoredKind;
  return value.kind == Value::Kind::kInteger ? kIntegerKind : kNumberKind;
}

}  // namespace

std::size_t HashText(std::string_view text) { return std::hash<std::string_view>()(text); }

std::size_t HashPair(std::string_view first, std::string_view second) {
  const std::size_t a = HashText(first);
  return a ^ (HashText(second) + 0x9e3779b97f4a7c15ull + (a << 6) + (a >> 2));
}

ValueArena::Place ValueArena::Add(const CarvedRow& row) {
  std::size_t size = 0;
  for (const Value& value : row.values) size += 5 + (isStored(value) ? value.bytes.size() : 24);
  if (chunks_.empty() || chunks_.back().size() + size > kChunkBytes) {
    chunks_.emplace_back();
    chunks_.back().reserve(std::max(size, kChunkBytes));
  }
  std::string& chunk = chunks_.back();
  const Place place{static_cast<std::uint32_t>(chunks_.size() - 1), static_cast<std::uint32_t>(chunk.size())};
  for (const Value& value : row.values) {
    const std::string text = isStored(value) ? std::string() : value.asText();
    const std::string& bytes = isStored(value) ? value.bytes : text;
    const auto length = static_cast<std::uint32_t>(bytes.size());
    chunk += kindOf(value);
    chunk.append(reinterpret_cast<const char*>(&length), sizeof length);
    chunk += bytes;
  }
  return place;
}

std::string_view ValueArena::at(Place place) const {
  if (place.chunk >= chunks_.size()) return std::string_view();
  return std::string_view(chunks_[place.chunk]).substr(place.offset);
}

std::uint32_t ValueArena::Absorb(ValueArena& other) {
  const auto shift = static_cast<std::uint32_t>(chunks_.size());
  for (std::string& chunk : other.chunks_) chunks_.push_back(std::move(chunk));
  other.chunks_.clear();
  return shift;
}

Candidate Candidate::Of(const CarvedRow& row, Source source, std::uint32_t page, ValueArena& arena) {
  Candidate candidate;
  candidate.arena = &arena;
  candidate.place = arena.Add(row);
  candidate.rowid = row.rowid;
  candidate.hasRowid = row.hasRowid;
  candidate.source = source;
  candidate.page = page;
  candidate.sources = SourceMask(source);
  return candidate;
}

std::string_view Candidate::bytes(std::size_t k) const {
  char kind = 0;
  const std::string_view value = entry(k, &kind);
  return kind == kStoredKind ? value : std::string_view();
}

bool Candidate::integer(std::size_t k, std::int64_t& value) const {
  char kind = 0;
  const std::string_view text = entry(k, &kind);
  if (kind != kIntegerKind || text.empty()) return false;
  // Written by std::to_string: an optional minus sign and digits.
  const bool negative = text[0] == '-';
  std::uint64_t magnitude = 0;
  for (std::size_t at = negative ? 1 : 0; at < text.size(); ++at) {
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[at] - '0');
  }
  value = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
  return true;
}

std::string_view Candidate::entry(std::size_t k, char* kind) const {
  const std::string_view packed = arena->at(place);
  std::size_t at = 0;
  for (std::size_t skip = 0;; ++skip) {
    if (at + 5 > packed.size()) return std::string_view();
    std::uint32_t length = 0;
    std::memcpy(&length, packed.data() + at + 1, sizeof length);
    if (skip == k) {
      if (kind != nullptr) *kind = packed[at];
      return packed.substr(at + 5, length);
    }
    at += 5 + length;
  }
}

void LiveValues::Seal() {
  std::sort(hashes.begin(), hashes.end());
  hashes.erase(std::unique(hashes.begin(), hashes.end()), hashes.end());
  hashes.shrink_to_fit();
}

bool LiveValues::holds(std::size_t hash) const { return std::binary_search(hashes.begin(), hashes.end(), hash); }

std::vector<Candidate*> DistinctCandidates(std::vector<Candidate>& all,
                                           const std::function<std::size_t(const Candidate&)>& keyOf) {
  std::vector<Candidate*> sorted;
  sorted.reserve(all.size());
  for (Candidate& candidate : all) sorted.push_back(&candidate);
  std::stable_sort(sorted.begin(), sorted.end(), [](const Candidate* a, const Candidate* b) {
    if (a->hasRowid != b->hasRowid) return a->hasRowid;
    return a->hasRowid && a->rowid < b->rowid;
  });
  // Sorting by value brings each value's rows together (rows with a rowid
  // first, by rowid, each group in the order above); sorting takes far less
  // memory than hash sets of a million rows.
  struct Entry {
    std::size_t value;
    std::size_t position;
  };
  std::vector<Entry> entries;
  entries.reserve(sorted.size());
  for (std::size_t k = 0; k < sorted.size(); ++k) entries.push_back(Entry{keyOf(*sorted[k]), k});
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.value != b.value ? a.value < b.value : a.position < b.position;
  });
  std::vector<bool> keep(sorted.size(), false);
  for (std::size_t first = 0; first < entries.size();) {
    std::size_t end = first;
    while (end < entries.size() && entries[end].value == entries[first].value) ++end;
    // The rows that lost their rowid are the same rows as those with one:
    // their sources go to every row kept for this value.
    unsigned withoutRowid = 0;
    for (std::size_t k = first; k < end; ++k) {
      const Candidate* row = sorted[entries[k].position];
      if (!row->hasRowid) withoutRowid |= row->sources;
    }
    Candidate* kept = nullptr;
    for (std::size_t k = first; k < end; ++k) {
      Candidate* row = sorted[entries[k].position];
      // Rows with a rowid come first: a new rowid is a row of its own.
      if (kept == nullptr || (row->hasRowid && row->rowid != kept->rowid)) {
        kept = row;
        keep[entries[k].position] = true;
        kept->sources |= withoutRowid;
      } else {
        kept->sources |= row->sources;
      }
    }
    first = end;
  }
  std::vector<Candidate*> out;
  for (std::size_t k = 0; k < sorted.size(); ++k) {
    if (keep[k]) out.push_back(sorted[k]);
  }
  return out;
}

}  // namespace deep
