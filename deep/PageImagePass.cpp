#include "deep/PageImagePass.h"

#include <algorithm>
#include <thread>

#include "deep/LeafCells.h"
#include "engine/BtreePage.h"

namespace deep {

namespace {

// Bytes of carved values per byte of input, beyond a constant.
constexpr std::uint64_t kCarvedBytesPerInputByte = 4;
constexpr std::uint64_t kSlackBytes = 1u << 20;
// Below this many leaves a second thread costs more than it saves.
constexpr std::size_t kLeavesWorthAThread = 256;
// The b-tree page of the schema, which never holds a row of a phone table.
constexpr std::uint32_t kSchemaPage = 1;

Source sourceOfOrigin(ImageOrigin origin) {
  return origin == ImageOrigin::kWal ? Source::kWal : origin == ImageOrigin::kJournal ? Source::kJournal
                                                                                      : Source::kFreeSpace;
}

std::uint64_t carvedBytes(const CarvedRow& row) {
  std::uint64_t bytes = sizeof(Candidate);
  for (const Value& value : row.values) bytes += 5 + value.bytes.size();
  return bytes;
}

// The leaves of one thread's share, with what they gave.
struct Share {
  std::vector<std::size_t> live;
  std::vector<Candidate> found;
  ValueArena values;
  std::vector<std::uint32_t> notLeaves;
  bool done = false;
};

}  // namespace

const TableShape* Schema::find(const std::string& name) const {
  for (const TableShape& table : tables) {
    if (table.name == name) return &table;
  }
  return nullptr;
}

PageImagePass::PageImagePass(PageStore& store, const DeepOptions& options) : store_(store), options_(options) {
  carvedBudget_ = store.inputBytes() * kCarvedBytesPerInputByte + kSlackBytes;
}

Schema PageImagePass::ReadSchema() {
  TableShape master;
  master.name = "sqlite_master";
  master.columns = {"type", "name", "tbl_name", "rootpage", "sql"};
  master.rules.assign(master.columns.size(), ColumnRule{});
  const CellCarver carver(RecordLayout::of(master, {0, 1, 3, 4}), store_.usableSize());
  std::vector<CarvedRow> rows;
  store_.walkTable(kSchemaPage, [&](std::uint32_t page, ByteView image) {
    ReadLeafCells(store_, image, PageStore::btreeHeaderOffset(page), carver, rows);
  });
  Schema schema;
  for (const CarvedRow& row : rows) {
    if (row.values[0].asText() != "table" || row.values[2].kind != Value::Kind::kInteger) continue;
    auto shape = parseCreateTable(row.values[3].asText());
    if (!shape) continue;
    const std::int64_t root = row.values[2].integer;
    if (root < 2 || root > 0xFFFFFFFFll) continue;
    shape->name = row.values[1].asText();
    shape->rootPage = static_cast<std::uint32_t>(root);
    schema.tables.push_back(std::move(*shape));
  }
  return schema;
}

void PageImagePass::WalkCurrentTable(const CellCarver& carver, const std::function<void(CarvedRow&)>& live,
                                     std::uint32_t from) {
  std::vector<CarvedRow> rows;
  store_.walkTable(from != 0 ? from : carver.layout().shape.rootPage, [&](std::uint32_t page, ByteView image) {
    currentLeaves_.insert(page);
    const std::size_t header = PageStore::btreeHeaderOffset(page);
    ReadLeafCells(store_, image, header, carver, live);
    const Source source = sourceOfOrigin(store_.currentOrigin(page));
    if (!options_.reads(source)) return;
    rows.clear();
    CarveFreeSpace(image, header, store_.usableSize(), carver, rows);
    take(rows, source, page);
  });
}

void PageImagePass::WalkLargeTable(const std::string& path, const CellCarver& carver,
                                   const std::function<std::size_t(const CarvedRow&)>& keyOf, LiveValues& live) {
  const std::vector<std::uint32_t> leaves = store_.tableLeaves(carver.layout().shape.rootPage);
  currentLeaves_.insert(leaves.begin(), leaves.end());
  Share shares[2];
  const std::size_t middle = leaves.size() < kLeavesWorthAThread ? leaves.size() : leaves.size() / 2;
  const std::uint64_t budget = carvedBudget_ / 2;
  const auto work = [&](PageStore& store, std::size_t from, std::size_t to, Share& share) {
    std::vector<std::uint8_t> image;
    std::vector<CarvedRow> rows;
    std::uint64_t left = budget;
    for (std::size_t k = from; k < to; ++k) {
      const std::uint32_t page = leaves[k];
      if (!store.readCurrent(page, image)) continue;
      const std::size_t header = PageStore::btreeHeaderOffset(page);
      const ByteView view(image.data(), image.size());
      if (view.at(header) != engine::kLeafTablePage) {
        share.notLeaves.push_back(page);
        continue;
      }
      ReadLeafCells(store, view, header, carver, [&](CarvedRow& row) { share.live.push_back(keyOf(row)); });
      const Source source = sourceOfOrigin(store.currentOrigin(page));
      if (!options_.reads(source)) continue;
      rows.clear();
      CarveFreeSpace(view, header, store.usableSize(), carver, rows);
      for (const CarvedRow& row : rows) {
        const std::uint64_t bytes = carvedBytes(row);
        if (bytes > left) break;
        left -= bytes;
        share.found.push_back(Candidate::Of(row, source, page, share.values));
      }
    }
    share.done = true;
  };
  std::thread second;
  if (middle < leaves.size()) {
    second = std::thread([&] {
      PageStore own;
      if (own.open(path)) work(own, middle, leaves.size(), shares[1]);
    });
  }
  work(store_, 0, middle, shares[0]);
  if (second.joinable()) second.join();
  if (!shares[1].done && middle < leaves.size()) work(store_, middle, leaves.size(), shares[1]);
  for (Share& share : shares) {
    live.hashes.insert(live.hashes.end(), share.live.begin(), share.live.end());
    std::vector<std::size_t>().swap(share.live);
    const std::uint32_t shift = values_.Absorb(share.values);
    for (Candidate& candidate : share.found) {
      candidate.arena = &values_;
      candidate.place.chunk += shift;
      carvedBudget_ -= std::min<std::uint64_t>(carvedBudget_, sizeof(Candidate) + candidate.text(1).size());
      candidates_.push_back(candidate);
    }
    std::vector<Candidate>().swap(share.found);
    // A tree whose leaves are not all on one level: the rest the slow way.
    for (const std::uint32_t page : share.notLeaves) {
      WalkCurrentTable(carver, [&](CarvedRow& row) { live.Add(keyOf(row)); }, page);
    }
  }
}

void PageImagePass::MineOtherImages(const CellCarver& carver) {
  if (options_.reads(Source::kFreelist)) mineFreelist(carver);
  if (options_.reads(Source::kWal) && !store_.wal().frames.empty()) mineWal(carver);
  if (options_.reads(Source::kJournal)) mineJournal(carver);
}

void PageImagePass::mineFreelist(const CellCarver& carver) {
  std::vector<std::uint8_t> image;
  for (const auto& [page, trunk] : store_.freelistPages()) {
    if (!store_.readCurrent(page, image)) continue;
    const ByteView view(image.data(), image.size());
    // A trunk's own header and leaf numbers are no cells.
    const std::size_t skip = trunk ? 8 + 4 * std::min<std::size_t>(view.u32(4), store_.usableSize() / 4) : 0;
    mineImage(carver, view, page, false, Source::kFreelist, skip);
  }
}

void PageImagePass::mineWal(const CellCarver& carver) {
  std::vector<std::uint8_t> image;
  const WalIndex& wal = store_.wal();
  for (std::size_t frame = 0; frame < wal.frames.size(); ++frame) {
    const std::uint32_t page = wal.frames[frame].pageNumber;
    const auto current = wal.current.find(page);
    if (current != wal.current.end() && current->second == frame && currentLeaves_.count(page) != 0) continue;
    store_.readImage(ImageOrigin::kWal, wal.frames[frame].pageOffset, image);
    mineImage(carver, ByteView(image.data(), image.size()), page, false, Source::kWal, 0);
  }
  // The main file's images of pages the log replaced or cut off.
  for (std::uint64_t page = 1; page <= store_.mainPages(); ++page) {
    const auto number = static_cast<std::uint32_t>(page);
    if (number <= store_.statePages() && store_.currentOrigin(number) != ImageOrigin::kWal) continue;
    store_.readMain(number, image);
    mineImage(carver, ByteView(image.data(), image.size()), number, false, Source::kWal, 0);
  }
}

void PageImagePass::mineJournal(const CellCarver& carver) {
  std::vector<std::uint8_t> image;
  const JournalIndex& journal = store_.journal();
  for (std::size_t record = 0; record < journal.pages.size(); ++record) {
    const std::uint32_t page = journal.pages[record].pageNumber;
    if (journal.hot) {
      const auto rollback = journal.rollback.find(page);
      if (rollback != journal.rollback.end() && rollback->second == record && currentLeaves_.count(page) != 0) {
        continue;
      }
    }
    store_.readImage(ImageOrigin::kJournal, journal.pages[record].pageOffset, image);
    mineImage(carver, ByteView(image.data(), image.size()), page, false, Source::kJournal, 0);
  }
  if (!journal.hot) return;
  // The main file holds the unfinished transaction: its rows are not
  // deleted ones, its free space may hold some.
  for (const auto& entry : journal.rollback) {
    if (entry.first > store_.mainPages()) continue;
    store_.readMain(entry.first, image);
    mineImage(carver, ByteView(image.data(), image.size()), entry.first, true, Source::kJournal, 0);
  }
}

void PageImagePass::take(std::vector<CarvedRow>& rows, Source source, std::uint32_t page) {
  for (const CarvedRow& row : rows) {
    const std::uint64_t bytes = carvedBytes(row);
    if (bytes > carvedBudget_) return;
    carvedBudget_ -= bytes;
    candidates_.push_back(Candidate::Of(row, source, page, values_));
  }
}

void PageImagePass::mineImage(const CellCarver& carver, ByteView image, std::uint32_t page, bool cellsAreLive,
                              Source source, std::size_t skip) {
  if (page == kSchemaPage) return;
  // The same image in several frames or records is read once.
  const std::size_t digest = HashText(std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
  if (!seenImages_.insert(digest).second) return;
  std::vector<CarvedRow> rows;
  const std::uint8_t type = image.at(engine::kPageTypeOffset);
  if (type == engine::kLeafTablePage) {
    if (!cellsAreLive) ReadLeafCells(store_, image, 0, carver, rows);
    CarveFreeSpace(image, 0, store_.usableSize(), carver, rows);
  } else if (type == engine::kInteriorTablePage || type == engine::kInteriorIndexPage ||
             type == engine::kLeafIndexPage) {
    return;
  } else if (!cellsAreLive) {
    carver.carveRegion(image, skip, store_.usableSize(), rows);
  }
  take(rows, source, page);
}

}  // namespace deep
