#pragma once
// The rows the deep pass finds before it knows which of them are deleted:
// their values packed in chunks of a megabyte, each row with its rowid (when
// its cell still had it) and where it was found; the hashes that tell them
// from live rows; and the choice of one row per value.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "deep/CellCarver.h"
#include "deep/DeepOptions.h"

namespace deep {

std::size_t HashText(std::string_view text);
std::size_t HashPair(std::string_view first, std::string_view second);

// The values of the rows found, packed one after another (per wanted value:
// a kind byte, a 4-byte length, the value as text with numbers in decimal):
// the hundreds of thousands of rows a large table gives cost their bytes and
// little more.
class ValueArena {
 public:
  struct Place {
    std::uint32_t chunk = 0;
    std::uint32_t offset = 0;
  };

  Place Add(const CarvedRow& row);
  // The packed values from `place` to the end of its chunk.
  std::string_view at(Place place) const;
  // Takes the other arena's chunks; returns how far its chunk numbers move.
  std::uint32_t Absorb(ValueArena& other);

 private:
  std::vector<std::string> chunks_;
};

// A row found in an image: where its values are, its rowid when the cell
// still had it, and where it was found (every source that found it, once
// the duplicates are merged).
struct Candidate {
  const ValueArena* arena = nullptr;
  ValueArena::Place place;
  std::int64_t rowid = 0;
  bool hasRowid = false;
  Source source = Source::kFreeSpace;  // where this copy was found
  std::uint32_t page = 0;              // the page whose image held it
  unsigned sources = 0;                // one bit per Source

  static Candidate Of(const CarvedRow& row, Source source, std::uint32_t page, ValueArena& arena);

  // Value k as text (numbers in decimal, NULL empty).
  std::string_view text(std::size_t k) const { return entry(k, nullptr); }
  // The stored bytes of a text or blob value; empty for any other.
  std::string_view bytes(std::size_t k) const;
  // Value k as a whole number: nothing unless it was stored as one.
  bool integer(std::size_t k, std::int64_t& value) const;

 private:
  std::string_view entry(std::size_t k, char* kind) const;
};

// What the current state of a table holds, to tell deleted rows from live.
struct LiveValues {
  std::vector<std::size_t> hashes;  // sorted once sealed
  void Add(std::size_t hash) { hashes.push_back(hash); }
  void Seal();
  bool holds(std::size_t hash) const;
};

// Candidates in a stable order: rows with a rowid by rowid, then the rest
// as found; one of each value (per rowid), rows without a rowid dropped
// when a row with one holds the same value. Each kept row names the sources
// of every row it stands for.
std::vector<Candidate*> DistinctCandidates(std::vector<Candidate>& all,
                                           const std::function<std::size_t(const Candidate&)>& keyOf);

}  // namespace deep
