#pragma once
// The pass over the page images of one copy: the tables of its schema, the
// live rows of a table with the cells left in the free space of its current
// leaves, and every other image that may hold its rows (freelist pages, WAL
// frames and the main-file pages they replace, journal pages). What it finds
// it keeps as candidates; the callers tell deleted rows from live ones.
//
// The candidates' values are bounded by a fixed multiple of the input's
// size, so a crafted copy cannot exhaust memory.

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "deep/CandidateStore.h"
#include "deep/CellCarver.h"
#include "deep/DeepOptions.h"
#include "deep/PageStore.h"
#include "deep/TableShape.h"

namespace deep {

struct Schema {
  std::vector<TableShape> tables;
  const TableShape* find(const std::string& name) const;
};

class PageImagePass {
 public:
  PageImagePass(PageStore& store, const DeepOptions& options);

  // The tables of the current state's schema.
  Schema ReadSchema();

  // Walks the table's current leaves (from its root, or from `from`):
  // `live` sees each live row; the free space of each leaf is carved.
  void WalkCurrentTable(const CellCarver& carver, const std::function<void(CarvedRow&)>& live,
                        std::uint32_t from = 0);

  // The same for a table as large as a phone's message store, keeping only
  // a hash of each live row (`keyOf`): the leaves are shared out between
  // two threads, each with readers of its own on the copy at `path`, and
  // the results are put together in page order, as one thread would have
  // found them.
  void WalkLargeTable(const std::string& path, const CellCarver& carver,
                      const std::function<std::size_t(const CarvedRow&)>& keyOf, LiveValues& live);

  // Every other image of the table's rows: freelist pages, WAL frames and
  // the main file's pages they replace, journal pages.
  void MineOtherImages(const CellCarver& carver);

  std::vector<Candidate>& candidates() { return candidates_; }

 private:
  void take(std::vector<CarvedRow>& rows, Source source, std::uint32_t page);
  void mineImage(const CellCarver& carver, ByteView image, std::uint32_t page, bool cellsAreLive, Source source,
                 std::size_t skip);
  void mineFreelist(const CellCarver& carver);
  void mineWal(const CellCarver& carver);
  void mineJournal(const CellCarver& carver);

  PageStore& store_;
  DeepOptions options_;
  std::uint64_t carvedBudget_ = 0;
  std::unordered_set<std::uint32_t> currentLeaves_;
  std::unordered_set<std::size_t> seenImages_;
  ValueArena values_;
  std::vector<Candidate> candidates_;
};

}  // namespace deep
