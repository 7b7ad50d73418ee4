#include "deep/DeepRecovery.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "deep/CellCarver.h"
#include "deep/FullTextIndex.h"
#include "deep/PageStore.h"
#include "deep/TableShape.h"
#include "engine/RecoveredText.h"
#include "platform/FileOperations.h"

namespace deep {

namespace {

constexpr const char* kContactsFileName = "contacts2.db";
constexpr const char* kSmsFileName = "mmssms.db";
constexpr std::uint8_t kLeafTable = 13;
constexpr std::uint8_t kInteriorTable = 5;
constexpr std::uint8_t kLeafIndex = 10;
constexpr std::uint8_t kInteriorIndex = 2;
// A payload longer than this is no row of a phone database (SQLite's own
// value limit in the session's connections is the same).
constexpr std::uint64_t kMaxPayload = 16u << 20;
// Rows of one raw contact paired each with each; more are listed singly.
constexpr std::size_t kMaxPairedRows = 16;
// Bytes of carved values and of text per byte of input, beyond a constant.
constexpr std::uint64_t kCarvedBytesPerInputByte = 4;
constexpr std::uint64_t kTextBytesPerInputByte = 8;
constexpr std::uint64_t kSlackBytes = 1u << 20;
// Below this many leaves a second thread costs more than it saves.
constexpr std::size_t kLeavesWorthAThread = 256;

std::size_t hashText(std::string_view text) { return std::hash<std::string_view>()(text); }

std::size_t hashPair(std::string_view first, std::string_view second) {
  const std::size_t a = hashText(first);
  return a ^ (hashText(second) + 0x9e3779b97f4a7c15ull + (a << 6) + (a >> 2));
}

// The values of the rows found, packed one after another (per wanted value:
// a kind byte, a 4-byte length, the value as text with numbers in decimal)
// in chunks of a megabyte: the hundreds of thousands of rows a large table
// gives cost their bytes and little more.
class ValueArena {
 public:
  struct Place {
    std::uint32_t chunk = 0;
    std::uint32_t offset = 0;
  };

  Place add(const CarvedRow& row) {
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
      chunk += isStored(value) ? 'T' : 'N';
      chunk.append(reinterpret_cast<const char*>(&length), sizeof length);
      chunk += bytes;
    }
    return place;
  }

  // The packed values from `place` to the end of its chunk.
  std::string_view at(Place place) const {
    if (place.chunk >= chunks_.size()) return std::string_view();
    return std::string_view(chunks_[place.chunk]).substr(place.offset);
  }

  // Takes the other arena's chunks; returns how far its chunk numbers move.
  std::uint32_t absorb(ValueArena& other) {
    const auto shift = static_cast<std::uint32_t>(chunks_.size());
    for (std::string& chunk : other.chunks_) chunks_.push_back(std::move(chunk));
    other.chunks_.clear();
    return shift;
  }

 private:
  static constexpr std::size_t kChunkBytes = 1u << 20;
  static bool isStored(const Value& value) {
    return value.kind == Value::Kind::kText || value.kind == Value::Kind::kBlob;
  }

  std::vector<std::string> chunks_;
};

// A row found in an image: where its values are, its rowid when the cell
// still had it, and where it came from.
struct Candidate {
  const ValueArena* arena = nullptr;
  ValueArena::Place place;
  std::int64_t rowid = 0;
  bool hasRowid = false;
  Source source = Source::kFreeSpace;

  static Candidate of(const CarvedRow& row, Source source, ValueArena& arena) {
    Candidate candidate;
    candidate.arena = &arena;
    candidate.place = arena.add(row);
    candidate.rowid = row.rowid;
    candidate.hasRowid = row.hasRowid;
    candidate.source = source;
    return candidate;
  }

  // Value k as text.
  std::string_view text(std::size_t k) const { return entry(k, nullptr); }
  // The stored bytes of a text or blob value; empty for any other.
  std::string_view bytes(std::size_t k) const {
    bool stored = false;
    const std::string_view value = entry(k, &stored);
    return stored ? value : std::string_view();
  }

 private:
  std::string_view entry(std::size_t k, bool* stored) const {
    const std::string_view packed = arena->at(place);
    std::size_t at = 0;
    for (std::size_t skip = 0;; ++skip) {
      if (at + 5 > packed.size()) return std::string_view();
      std::uint32_t length = 0;
      std::memcpy(&length, packed.data() + at + 1, sizeof length);
      if (skip == k) {
        if (stored != nullptr) *stored = packed[at] == 'T';
        return packed.substr(at + 5, length);
      }
      at += 5 + length;
    }
  }
};

// What the current state of a table holds, to tell deleted rows from live.
struct LiveValues {
  std::vector<std::size_t> hashes;  // sorted once filled
  void add(std::size_t hash) { hashes.push_back(hash); }
  void seal() {
    std::sort(hashes.begin(), hashes.end());
    hashes.erase(std::unique(hashes.begin(), hashes.end()), hashes.end());
    hashes.shrink_to_fit();
  }
  bool holds(std::size_t hash) const { return std::binary_search(hashes.begin(), hashes.end(), hash); }
};

struct Schema {
  std::vector<TableShape> tables;
  const TableShape* find(const std::string& name) const {
    for (const TableShape& table : tables) {
      if (table.name == name) return &table;
    }
    return nullptr;
  }
};

// Reads the cells of a table leaf page image through its pointer array,
// following overflow chains in the current state; `sink` sees each row (the
// same object each time: it keeps what it needs).
void readLeafCells(PageStore& store, ByteView image, std::size_t header, const CellCarver& carver,
                   const std::function<void(CarvedRow&)>& sink) {
  const std::uint32_t usable = store.usableSize();
  const std::size_t pointers = header + 8;
  const std::size_t cells = std::min<std::size_t>(image.u16(header + 3), (usable - pointers) / 2);
  thread_local std::vector<std::uint8_t> payload;
  thread_local std::vector<std::uint8_t> overflow;
  thread_local std::vector<bool> seen;
  thread_local CarvedRow row;
  seen.assign(usable, false);
  for (std::size_t cell = 0; cell < cells; ++cell) {
    const std::size_t at = image.u16(pointers + 2 * cell);
    if (at < pointers + 2 * cells || at >= usable || seen[at]) continue;
    seen[at] = true;
    std::size_t position = at;
    std::uint64_t length = 0;
    std::uint64_t rowid = 0;
    if (!image.varint(position, usable, length) || !image.varint(position, usable, rowid)) continue;
    if (length == 0 || length > kMaxPayload) continue;
    const std::uint32_t local = localPayload(length, usable);
    if (position + local > usable) continue;
    if (local == length) {
      if (!carver.decodePayload(ByteView(image.data() + position, local), row)) continue;
    } else {
      if (position + local + 4 > usable) continue;
      payload.assign(image.data() + position, image.data() + position + local);
      std::uint32_t next = image.u32(position + local);
      std::unordered_set<std::uint32_t> chain;
      while (payload.size() < length && next != 0 && chain.insert(next).second && store.readCurrent(next, overflow)) {
        const ByteView page(overflow.data(), overflow.size());
        const std::size_t take = std::min<std::uint64_t>(length - payload.size(), usable - 4);
        payload.insert(payload.end(), overflow.begin() + 4, overflow.begin() + 4 + static_cast<std::ptrdiff_t>(take));
        next = page.u32(0);
      }
      if (payload.size() != length || !carver.decodePayload(ByteView(payload.data(), payload.size()), row)) continue;
    }
    row.hasRowid = true;
    row.rowid = static_cast<std::int64_t>(rowid);
    sink(row);
  }
}

void readLeafCells(PageStore& store, ByteView image, std::size_t header, const CellCarver& carver,
                   std::vector<CarvedRow>& out) {
  readLeafCells(store, image, header, carver, [&](CarvedRow& row) { out.push_back(row); });
}

// Cells in the free space of a table leaf page image: its unassigned area
// and its freeblocks.
void carveFreeSpace(ByteView image, std::size_t header, std::uint32_t usable, const CellCarver& carver,
                    std::vector<CarvedRow>& out) {
  const std::size_t cells = image.u16(header + 3);
  const std::size_t areaStart = header + 8 + 2 * cells;
  std::size_t contentStart = image.u16(header + 5);
  if (contentStart == 0) contentStart = 65536;
  if (contentStart > usable) contentStart = usable;
  if (areaStart < contentStart) carver.carveRegion(image, areaStart, contentStart, out);
  // A sound chain ascends inside the page.
  std::size_t freeblock = image.u16(header + 1);
  std::size_t previous = 0;
  while (freeblock != 0 && freeblock > previous && freeblock + 4 <= usable) {
    const std::size_t size = std::min<std::size_t>(image.u16(freeblock + 2), usable - freeblock);
    carver.carveFreeblock(image, freeblock, size, out);
    previous = freeblock;
    freeblock = image.u16(freeblock);
  }
}

class DeepPass {
 public:
  DeepPass(PageStore& store, const DeepOptions& options) : store_(store), options_(options) {
    carvedBudget_ = store.inputBytes() * kCarvedBytesPerInputByte + kSlackBytes;
  }

  Schema readSchema() {
    TableShape master;
    master.name = "sqlite_master";
    master.columns = {"type", "name", "tbl_name", "rootpage", "sql"};
    master.rules.assign(master.columns.size(), ColumnRule{});
    const CellCarver carver(RecordLayout::of(master, {0, 1, 3, 4}), store_.usableSize());
    std::vector<CarvedRow> rows;
    store_.walkTable(1, [&](std::uint32_t page, ByteView image) {
      readLeafCells(store_, image, PageStore::btreeHeaderOffset(page), carver, rows);
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

  // Walks the table's current leaves: `live` sees each live row; the free
  // space of each leaf is carved.
  void walkCurrentTable(const CellCarver& carver, const std::function<void(CarvedRow&)>& live,
                        std::uint32_t from = 0) {
    std::vector<CarvedRow> rows;
    store_.walkTable(from != 0 ? from : carver.layout().shape.rootPage, [&](std::uint32_t page, ByteView image) {
      currentLeaves_.insert(page);
      const std::size_t header = PageStore::btreeHeaderOffset(page);
      readLeafCells(store_, image, header, carver, live);
      const Source source = sourceOfOrigin(store_.currentOrigin(page), Source::kFreeSpace);
      if (!options_.reads(source)) return;
      rows.clear();
      carveFreeSpace(image, header, store_.usableSize(), carver, rows);
      take(rows, source);
    });
  }

  // The same for a table as large as a phone's message store, keeping only
  // a hash of each live row's values: the leaves are shared out between two
  // threads, each with readers of its own, and the results are put together
  // in page order, as one thread would have found them.
  void walkLargeTable(const std::string& path, const CellCarver& carver,
                      const std::function<std::size_t(const CarvedRow&)>& keyOf, LiveValues& live) {
    const std::vector<std::uint32_t> leaves = store_.tableLeaves(carver.layout().shape.rootPage);
    currentLeaves_.insert(leaves.begin(), leaves.end());
    struct Share {
      std::vector<std::size_t> live;
      std::vector<Candidate> found;
      ValueArena values;
      std::vector<std::uint32_t> notLeaves;
      bool done = false;
    };
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
        if (view.at(header) != kLeafTable) {
          share.notLeaves.push_back(page);
          continue;
        }
        readLeafCells(store, view, header, carver, [&](CarvedRow& row) { share.live.push_back(keyOf(row)); });
        const Source source = sourceOfOrigin(store.currentOrigin(page), Source::kFreeSpace);
        if (!options_.reads(source)) continue;
        rows.clear();
        carveFreeSpace(view, header, store.usableSize(), carver, rows);
        for (const CarvedRow& row : rows) {
          const std::uint64_t bytes = carvedBytes(row);
          if (bytes > left) break;
          left -= bytes;
          share.found.push_back(Candidate::of(row, source, share.values));
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
      const std::uint32_t shift = values_.absorb(share.values);
      for (Candidate& candidate : share.found) {
        candidate.arena = &values_;
        candidate.place.chunk += shift;
        carvedBudget_ -= std::min<std::uint64_t>(carvedBudget_, sizeof(Candidate) + candidate.text(1).size());
        candidates_.push_back(candidate);
      }
      std::vector<Candidate>().swap(share.found);
      // A tree whose leaves are not all on one level: the rest the slow way.
      for (const std::uint32_t page : share.notLeaves) {
        walkCurrentTable(carver, [&](CarvedRow& row) { live.add(keyOf(row)); }, page);
      }
    }
  }

  // Every other image of the table's rows: freelist pages, WAL frames and
  // the main file's pages they replace, journal pages.
  void mineOtherImages(const CellCarver& carver) {
    std::vector<std::uint8_t> image;
    if (options_.reads(Source::kFreelist)) {
      for (const auto& [page, trunk] : store_.freelistPages()) {
        if (!store_.readCurrent(page, image)) continue;
        const ByteView view(image.data(), image.size());
        const std::size_t skip = trunk ? 8 + 4 * std::min<std::size_t>(view.u32(4), store_.usableSize() / 4) : 0;
        mineImage(carver, view, page, false, Source::kFreelist, skip);
      }
    }
    const WalIndex& wal = store_.wal();
    if (options_.reads(Source::kWal) && !wal.frames.empty()) {
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
    const JournalIndex& journal = store_.journal();
    if (options_.reads(Source::kJournal)) {
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
      if (journal.hot) {
        // The main file holds the unfinished transaction: its rows are not
        // deleted ones, its free space may hold some.
        for (const auto& entry : journal.rollback) {
          if (entry.first > store_.mainPages()) continue;
          store_.readMain(entry.first, image);
          mineImage(carver, ByteView(image.data(), image.size()), entry.first, true, Source::kJournal, 0);
        }
      }
    }
  }

  static std::uint64_t carvedBytes(const CarvedRow& row) {
    std::uint64_t bytes = sizeof(Candidate);
    for (const Value& value : row.values) bytes += 5 + value.bytes.size();
    return bytes;
  }

  void take(std::vector<CarvedRow>& rows, Source source) {
    for (const CarvedRow& row : rows) {
      const std::uint64_t bytes = carvedBytes(row);
      if (bytes > carvedBudget_) return;
      carvedBudget_ -= bytes;
      candidates_.push_back(Candidate::of(row, source, values_));
    }
  }

  std::vector<Candidate>& candidates() { return candidates_; }
  ValueArena& values() { return values_; }

 private:
  static Source sourceOfOrigin(ImageOrigin origin, Source main) {
    return origin == ImageOrigin::kWal ? Source::kWal : origin == ImageOrigin::kJournal ? Source::kJournal : main;
  }

  void mineImage(const CellCarver& carver, ByteView image, std::uint32_t page, bool cellsAreLive, Source source,
                 std::size_t skip) {
    if (page == 1) return;  // the schema's page: never a row of a phone table
    // The same image in several frames or records is read once.
    const std::size_t digest = hashText(std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
    if (!seenImages_.insert(digest).second) return;
    std::vector<CarvedRow> rows;
    const std::uint8_t type = image.at(0);
    if (type == kLeafTable) {
      if (!cellsAreLive) readLeafCells(store_, image, 0, carver, rows);
      carveFreeSpace(image, 0, store_.usableSize(), carver, rows);
    } else if (type == kInteriorTable || type == kInteriorIndex || type == kLeafIndex) {
      return;
    } else if (!cellsAreLive) {
      carver.carveRegion(image, skip, store_.usableSize(), rows);
    }
    take(rows, source);
  }

  PageStore& store_;
  DeepOptions options_;
  std::uint64_t carvedBudget_ = 0;
  std::unordered_set<std::uint32_t> currentLeaves_;
  std::unordered_set<std::size_t> seenImages_;
  ValueArena values_;
  std::vector<Candidate> candidates_;
};

// Candidates in a stable order: rows with a rowid by rowid, then the rest
// as found; one of each value (per rowid), rows without a rowid dropped
// when a row with one holds the same value.
template <typename KeyOf>
std::vector<Candidate*> distinctCandidates(std::vector<Candidate>& all, KeyOf keyOf) {
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
    if (sorted[entries[first].position]->hasRowid) {
      // One row per rowid; the rows that lost theirs are the same rows.
      for (std::size_t k = first; k < end; ++k) {
        const Candidate* row = sorted[entries[k].position];
        if (!row->hasRowid) break;
        if (k == first || row->rowid != sorted[entries[k - 1].position]->rowid) keep[entries[k].position] = true;
      }
    } else {
      keep[entries[first].position] = true;
    }
    first = end;
  }
  std::vector<Candidate*> out;
  for (std::size_t k = 0; k < sorted.size(); ++k) {
    if (keep[k]) out.push_back(sorted[k]);
  }
  return out;
}

// The session's lines, each of which may stand for one deep line.
class SessionLines {
 public:
  explicit SessionLines(const std::string& text) {
    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
      ++count_[text.substr(start, end - start + 2)];
      start = end + 2;
    }
  }
  // True when the session already wrote this line (once per time it did).
  bool takes(const std::string& line) {
    const auto found = count_.find(line);
    if (found == count_.end() || found->second == 0) return false;
    --found->second;
    return true;
  }

 private:
  std::unordered_map<std::string, int> count_;
};

// The deep lines, written straight into one text: a table of a million
// rows must not hold its lines twice.
class Output {
 public:
  Output(const std::string& sessionText, std::uint64_t inputBytes, bool afterSession)
      : result(afterSession ? sessionText : std::string()),
        session_(sessionText),
        budget_(inputBytes * kTextBytesPerInputByte + kSlackBytes) {}

  void add(const std::string& line, Source source) {
    if (line.empty() || line.size() > budget_ || session_.takes(line)) return;
    if (!written_.insert(hashText(line)).second) return;
    budget_ -= line.size();
    result.append(line, source);
  }

  DeepResult result;

 private:
  SessionLines session_;
  std::unordered_set<std::size_t> written_;
  std::uint64_t budget_;
};

// ---------------------------------------------------------------------------
// Contacts

struct ContactColumns {
  int rawContactId = -1;
  int data1 = -1;
};

std::string groupKeyOf(const Value& rawContactId) { return rawContactId.asText(); }

DeepResult recoverContacts(const std::string& contactsCopy, const std::string& sessionText,
                           const DeepOptions& options, bool afterSession) {
  PageStore store;
  if (!store.open(contactsCopy)) return {};
  DeepPass pass(store, options);
  const Schema schema = pass.readSchema();
  const TableShape* data = schema.find("data");
  if (data == nullptr) return {};
  const RecordLayout layout =
      RecordLayout::of(*data, {data->columnIndex("raw_contact_id"), data->columnIndex("data1")});
  if (!layout.usable()) return {};

  // Raw contacts waiting for their account to sync their deletion.
  std::unordered_set<std::string> markedDeleted;
  const TableShape* raw = schema.find("raw_contacts");
  if (raw != nullptr && raw->columnIndex("deleted") >= 0) {
    const CellCarver rawCarver(RecordLayout::of(*raw, {raw->columnIndex("deleted")}), store.usableSize());
    std::vector<CarvedRow> rows;
    store.walkTable(raw->rootPage, [&](std::uint32_t page, ByteView image) {
      rows.clear();
      readLeafCells(store, image, PageStore::btreeHeaderOffset(page), rawCarver, rows);
      for (const CarvedRow& row : rows) {
        if (row.values[0].kind == Value::Kind::kInteger && row.values[0].integer != 0) {
          markedDeleted.insert(std::to_string(row.rowid));
        }
      }
    });
  }

  const CellCarver carver(layout, store.usableSize());
  std::unordered_map<std::int64_t, std::size_t> liveByRowid;  // rowid to hash of data1
  LiveValues livePairs;   // raw contact and data1 of live rows
  LiveValues liveValues;  // data1 of live rows
  ValueArena markedValues;
  std::vector<Candidate> marked;
  pass.walkCurrentTable(carver, [&](CarvedRow& row) {
    const std::string group = groupKeyOf(row.values[0]);
    if (markedDeleted.count(group) != 0) {
      if (options.reads(Source::kMarkedDeleted)) marked.push_back(Candidate::of(row, Source::kMarkedDeleted, markedValues));
      return;
    }
    const std::string value = row.values[1].asText();
    liveByRowid[row.rowid] = hashText(value);
    livePairs.add(hashPair(group, value));
    liveValues.add(hashText(value));
  });
  livePairs.seal();
  liveValues.seal();
  // Rows of marked raw contacts come first: they are whole.
  std::vector<Candidate>& found = pass.candidates();
  std::vector<Candidate> all;
  all.reserve(marked.size() + found.size());
  for (Candidate& candidate : marked) all.push_back(std::move(candidate));
  pass.mineOtherImages(carver);
  for (Candidate& candidate : found) all.push_back(std::move(candidate));

  // Deleted rows: not the value of a live row.
  std::vector<Candidate> deleted;
  for (Candidate& candidate : all) {
    const std::string_view value = candidate.text(1);
    if (!engine::carriesText(candidate.bytes(1))) continue;
    if (candidate.source != Source::kMarkedDeleted) {
      if (livePairs.holds(hashPair(candidate.text(0), value))) continue;
      if (candidate.hasRowid) {
        const auto live = liveByRowid.find(candidate.rowid);
        if (live != liveByRowid.end() && live->second == hashText(value)) continue;
      }
    }
    deleted.push_back(std::move(candidate));
  }
  const auto ordered = distinctCandidates(deleted, [](const Candidate& c) { return hashPair(c.text(0), c.bytes(1)); });

  // Lines as the session pairs rows: within one raw contact, each with each.
  std::vector<std::string> groupOrder;
  std::unordered_map<std::string, std::vector<const Candidate*>> groups;
  for (const Candidate* candidate : ordered) {
    const std::string key(candidate->text(0));
    auto& members = groups[key];
    if (members.empty()) groupOrder.push_back(key);
    members.push_back(candidate);
  }
  Output output(sessionText, store.inputBytes(), afterSession);
  const auto carved = [](const Candidate* c) {
    return engine::CarvedContact{std::string(c->text(0)), std::string(c->bytes(1))};
  };
  const auto repeatsLive = [&](const Candidate* c) { return liveValues.holds(hashText(c->bytes(1))); };
  for (const std::string& key : groupOrder) {
    const std::vector<const Candidate*>& members = groups[key];
    const std::size_t paired = std::min(members.size(), kMaxPairedRows);
    std::vector<bool> used(members.size(), false);
    for (std::size_t first = 0; first < paired; ++first) {
      for (std::size_t partner = first + 1; partner < paired; ++partner) {
        if (members[first]->bytes(1) == members[partner]->bytes(1)) continue;
        used[first] = used[partner] = true;
        if (repeatsLive(members[first]) && repeatsLive(members[partner])) continue;
        output.add(engine::formatRecoveredContacts({carved(members[first]), carved(members[partner])}),
                   members[first]->source);
      }
    }
    for (std::size_t single = 0; single < members.size(); ++single) {
      if (used[single] || repeatsLive(members[single])) continue;
      output.add(engine::formatRecoveredContacts({carved(members[single])}), members[single]->source);
    }
  }
  return std::move(output.result);
}

// ---------------------------------------------------------------------------
// Messages

// The live contact rows that name senders, as the session reads them: every
// data row in table order, raw contact and data1 as text.
std::vector<engine::LiveContact> liveContactRows(const std::string& contactsCopy) {
  std::vector<engine::LiveContact> rows;
  if (contactsCopy.find(kContactsFileName) == std::string::npos) return rows;
  PageStore store;
  if (!store.open(contactsCopy)) return rows;
  DeepPass pass(store, DeepOptions{0});
  const Schema schema = pass.readSchema();
  const TableShape* data = schema.find("data");
  if (data == nullptr) return rows;
  const RecordLayout layout =
      RecordLayout::of(*data, {data->columnIndex("raw_contact_id"), data->columnIndex("data1")});
  if (!layout.usable()) return rows;
  const CellCarver carver(layout, store.usableSize());
  pass.walkCurrentTable(carver, [&](CarvedRow& row) {
    rows.push_back(engine::LiveContact{row.values[0].asText(), row.values[1].asText()});
  });
  return rows;
}

// A value as text without copying it when it is text already.
std::string_view textOf(const Value& value, std::string& scratch) {
  if (value.kind == Value::Kind::kText || value.kind == Value::Kind::kBlob) return value.bytes;
  scratch = value.asText();
  return scratch;
}

std::size_t messageKey(const CarvedRow& row) {
  std::string address;
  std::string body;
  return hashPair(textOf(row.values[0], address), textOf(row.values[1], body));
}

constexpr const char* kSearchIndexMark = "[search index] ";

// Rows of a table as they are, whatever their columns' declared types say:
// the full-text index's own tables store texts in integer columns.
RecordLayout permissiveLayout(const TableShape& table, const std::vector<int>& wanted) {
  TableShape shape = table;
  for (ColumnRule& rule : shape.rules) rule = ColumnRule{};
  return RecordLayout::of(shape, wanted);
}

// Word sequences of deleted messages from the segments of `words` (column 1,
// index_text), leaving out those whose words a recovered body already has.
void addFullTextResidue(PageStore& store, const Schema& schema, const std::unordered_set<std::size_t>& known,
                        Output& output) {
  const TableShape* content = schema.find("words_content");
  const TableShape* segdir = schema.find("words_segdir");
  const TableShape* segments = schema.find("words_segments");
  if (content == nullptr || segdir == nullptr || segments == nullptr) return;
  const int startColumn = segdir->columnIndex("start_block");
  const int leavesColumn = segdir->columnIndex("leaves_end_block");
  const int rootColumn = segdir->columnIndex("root");
  const int blockColumn = segments->columnIndex("block");
  if (startColumn < 0 || leavesColumn < 0 || rootColumn < 0 || blockColumn < 0) return;

  std::vector<std::int64_t> live;
  const CellCarver contentRows(permissiveLayout(*content, {0}), store.usableSize());
  store.walkTable(content->rootPage, [&](std::uint32_t page, ByteView image) {
    readLeafCells(store, image, PageStore::btreeHeaderOffset(page), contentRows,
                  [&](CarvedRow& row) { live.push_back(row.rowid); });
  });
  std::sort(live.begin(), live.end());
  FullTextPostings postings(1, std::move(live));

  // Segments small enough keep their only node in the directory; the leaves
  // of the others are the blocks of a range.
  std::vector<std::pair<std::int64_t, std::int64_t>> leafRanges;
  const CellCarver directory(permissiveLayout(*segdir, {startColumn, leavesColumn, rootColumn}), store.usableSize());
  store.walkTable(segdir->rootPage, [&](std::uint32_t page, ByteView image) {
    readLeafCells(store, image, PageStore::btreeHeaderOffset(page), directory, [&](CarvedRow& row) {
      const Value& root = row.values[2];
      if (root.kind == Value::Kind::kBlob) {
        postings.readLeaf(ByteView(reinterpret_cast<const std::uint8_t*>(root.bytes.data()), root.bytes.size()));
      }
      if (row.values[0].kind == Value::Kind::kInteger && row.values[1].kind == Value::Kind::kInteger &&
          row.values[0].integer > 0) {
        leafRanges.emplace_back(row.values[0].integer, row.values[1].integer);
      }
    });
  });
  std::sort(leafRanges.begin(), leafRanges.end());
  const CellCarver blocks(permissiveLayout(*segments, {blockColumn}), store.usableSize());
  store.walkTable(segments->rootPage, [&](std::uint32_t page, ByteView image) {
    readLeafCells(store, image, PageStore::btreeHeaderOffset(page), blocks, [&](CarvedRow& row) {
      const auto range = std::upper_bound(leafRanges.begin(), leafRanges.end(),
                                          std::make_pair(row.rowid, std::numeric_limits<std::int64_t>::max()));
      if (range == leafRanges.begin() || row.rowid > std::prev(range)->second) return;
      const Value& block = row.values[0];
      postings.readLeaf(ByteView(reinterpret_cast<const std::uint8_t*>(block.bytes.data()), block.bytes.size()));
    });
  });

  for (const auto& [docid, words] : postings.texts()) {
    if (words.empty() || known.count(hashText(words)) != 0) continue;
    const std::string body = engine::toAnsiText(kSearchIndexMark + words);
    output.add("N/A\tN/A\t" + body + "\r\n", Source::kFullText);
  }
}

DeepResult recoverMessages(const std::string& contactsCopy, const std::string& smsCopy,
                           const std::string& sessionText, const DeepOptions& options, bool afterSession) {
  PageStore store;
  if (!store.open(smsCopy)) return {};
  DeepPass pass(store, options);
  const Schema schema = pass.readSchema();
  const TableShape* sms = schema.find("sms");
  if (sms == nullptr) return {};
  const RecordLayout layout = RecordLayout::of(*sms, {sms->columnIndex("address"), sms->columnIndex("body")});
  if (!layout.usable()) return {};
  const CellCarver carver(layout, store.usableSize());
  LiveValues live;
  pass.walkLargeTable(smsCopy, carver, messageKey, live);
  live.seal();
  pass.mineOtherImages(carver);

  std::vector<Candidate>& deleted = pass.candidates();
  deleted.erase(std::remove_if(deleted.begin(), deleted.end(),
                               [&](const Candidate& c) {
                                 return (!engine::carriesText(c.bytes(0)) && !engine::carriesText(c.bytes(1))) ||
                                        live.holds(hashPair(c.text(0), c.text(1)));
                               }),
                deleted.end());
  std::vector<std::size_t>().swap(live.hashes);
  const auto ordered = distinctCandidates(deleted, [](const Candidate& c) { return hashPair(c.text(0), c.text(1)); });

  const std::vector<engine::LiveContact> contacts = liveContactRows(contactsCopy);
  const engine::SenderNames names(contacts);
  Output output(sessionText, store.inputBytes(), afterSession);
  std::size_t expected = 0;
  for (const Candidate* candidate : ordered) expected += candidate->text(0).size() + candidate->text(1).size() + 24;
  output.result.reserve(output.result.text().size() + expected + expected / 8);
  // Hashes of the words of every body recovered, for the full-text index.
  const bool fullText = options.reads(Source::kFullText) && schema.find("words_segdir") != nullptr;
  std::unordered_set<std::size_t> knownWords;
  std::string line;
  for (Candidate* candidate : ordered) {
    if (fullText) knownWords.insert(hashText(fullTextWords(std::string(candidate->bytes(1)))));
    line.clear();
    const engine::CarvedSms message{std::string(candidate->bytes(0)), std::string(), std::string(candidate->bytes(1))};
    if (engine::appendRecoveredSmsLine(line, message, names)) output.add(line, candidate->source);
  }
  if (fullText) {
    // Bodies the session wrote count as recovered too.
    std::size_t start = 0;
    for (std::size_t end = sessionText.find("\r\n"); end != std::string::npos; end = sessionText.find("\r\n", start)) {
      const std::size_t second = sessionText.find('\t', sessionText.find('\t', start) + 1);
      if (second < end) knownWords.insert(hashText(fullTextWords(sessionText.substr(second + 1, end - second - 1))));
      start = end + 2;
    }
    addFullTextResidue(store, schema, knownWords, output);
  }
  return std::move(output.result);
}

}  // namespace

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

void DeepResult::append(std::string_view line, Source source) {
  text_.append(line);
  ends_.push_back(LineEnd{text_.size(), source});
}

std::string DeepResult::line(std::size_t index) const {
  assert(index < ends_.size());
  const std::size_t start = index == 0 ? start_ : ends_[index - 1].end;
  return text_.substr(start, ends_[index].end - start);
}

namespace {

// With `afterSession`, the result's text starts with the session's.
DeepResult recoverDeep(const std::string& contactsCopy, const std::string& smsCopy, ePaserType kind,
                       const std::string& sessionText, const DeepOptions& options, bool afterSession) {
  if (kind == eContacts) {
    if (contactsCopy.find(kContactsFileName) == std::string::npos) return {};
    return recoverContacts(contactsCopy, sessionText, options, afterSession);
  }
  if (kind == eSms) {
    if (smsCopy.find(kSmsFileName) == std::string::npos) return {};
    return recoverMessages(contactsCopy, smsCopy, sessionText, options, afterSession);
  }
  return {};
}

}  // namespace

DeepResult RecoverDeep(const std::string& contactsCopy, const std::string& smsCopy, ePaserType kind,
                       const std::string& sessionText, const DeepOptions& options) {
  return recoverDeep(contactsCopy, smsCopy, kind, sessionText, options, false);
}

std::string WithDeepLines(const std::string& contactsCopy, const std::string& smsCopy, ePaserType kind,
                          const std::string& sessionText) {
  // The lines go straight after a copy of the session's text: on a large
  // table no second copy of them is made.
  DeepResult deep = recoverDeep(contactsCopy, smsCopy, kind, sessionText, DeepOptions(), true);
  if (deep.text().empty()) return sessionText;
  return deep.takeText();
}

}  // namespace deep
