#include "deep/DeepRecovery.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "deep/CellCarver.h"
#include "deep/PageStore.h"
#include "deep/TableShape.h"
#include "engine/RecoveredText.h"
#include "platform/FileSystem.h"

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

struct Candidate {
  CarvedRow row;
  Source source;
  std::size_t order;
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
        for (CarvedRow& row : rows) {
          const std::uint64_t bytes = carvedBytes(row);
          if (bytes > left) break;
          left -= bytes;
          share.found.push_back(Candidate{std::move(row), source, 0});
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
      for (const std::size_t hash : share.live) live.add(hash);
      for (Candidate& candidate : share.found) {
        carvedBudget_ -= std::min(carvedBudget_, carvedBytes(candidate.row));
        candidate.order = candidates_.size();
        candidates_.push_back(std::move(candidate));
      }
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
    std::uint64_t bytes = sizeof row;
    for (const Value& value : row.values) bytes += value.bytes.size();
    return bytes;
  }

  void take(std::vector<CarvedRow>& rows, Source source) {
    for (CarvedRow& row : rows) {
      const std::uint64_t bytes = carvedBytes(row);
      if (bytes > carvedBudget_) return;
      carvedBudget_ -= bytes;
      candidates_.push_back(Candidate{std::move(row), source, candidates_.size()});
    }
  }

  std::vector<Candidate>& candidates() { return candidates_; }

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
  std::vector<Candidate> candidates_;
};

// Candidates in a stable order: rows with a rowid by rowid, then the rest
// as found; one of each value (per rowid), rows without a rowid dropped
// when a row with one holds the same value.
template <typename KeyOf>
std::vector<const Candidate*> distinctCandidates(const std::vector<Candidate>& all, KeyOf keyOf) {
  std::vector<const Candidate*> sorted;
  sorted.reserve(all.size());
  for (const Candidate& candidate : all) sorted.push_back(&candidate);
  std::stable_sort(sorted.begin(), sorted.end(), [](const Candidate* a, const Candidate* b) {
    if (a->row.hasRowid != b->row.hasRowid) return a->row.hasRowid;
    return a->row.hasRowid && a->row.rowid < b->row.rowid;
  });
  std::unordered_set<std::size_t> withRowid;
  std::unordered_set<std::size_t> taken;
  std::vector<const Candidate*> out;
  for (const Candidate* candidate : sorted) {
    const std::size_t value = keyOf(*candidate);
    if (candidate->row.hasRowid) {
      withRowid.insert(value);
      if (!taken.insert(hashPair(std::to_string(candidate->row.rowid), std::to_string(value))).second) continue;
    } else if (withRowid.count(value) != 0 || !taken.insert(value).second) {
      continue;
    }
    out.push_back(candidate);
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

class Output {
 public:
  Output(const std::string& sessionText, std::uint64_t inputBytes)
      : session_(sessionText), budget_(inputBytes * kTextBytesPerInputByte + kSlackBytes) {}

  void add(std::string line, Source source) {
    if (line.empty() || session_.takes(line) || !written_.insert(line).second) return;
    if (line.size() > budget_) return;
    budget_ -= line.size();
    result.lines.push_back(DeepLine{std::move(line), source});
  }

  DeepResult result;

 private:
  SessionLines session_;
  std::unordered_set<std::string> written_;
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
                           const DeepOptions& options) {
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
  std::vector<CarvedRow> marked;
  pass.walkCurrentTable(carver, [&](CarvedRow& row) {
    const std::string group = groupKeyOf(row.values[0]);
    if (markedDeleted.count(group) != 0) {
      if (options.reads(Source::kMarkedDeleted)) marked.push_back(row);
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
  for (CarvedRow& row : marked) all.push_back(Candidate{std::move(row), Source::kMarkedDeleted, all.size()});
  pass.mineOtherImages(carver);
  for (Candidate& candidate : found) all.push_back(std::move(candidate));

  // Deleted rows: not the value of a live row.
  std::vector<Candidate> deleted;
  for (Candidate& candidate : all) {
    const std::string value = candidate.row.values[1].asText();
    if (!engine::carriesText(candidate.row.values[1].bytes)) continue;
    if (candidate.source != Source::kMarkedDeleted) {
      if (livePairs.holds(hashPair(groupKeyOf(candidate.row.values[0]), value))) continue;
      if (candidate.row.hasRowid) {
        const auto live = liveByRowid.find(candidate.row.rowid);
        if (live != liveByRowid.end() && live->second == hashText(value)) continue;
      }
    }
    deleted.push_back(std::move(candidate));
  }
  const auto ordered = distinctCandidates(deleted, [](const Candidate& c) {
    return hashPair(groupKeyOf(c.row.values[0]), c.row.values[1].bytes);
  });

  // Lines as the session pairs rows: within one raw contact, each with each.
  std::vector<std::string> groupOrder;
  std::unordered_map<std::string, std::vector<const Candidate*>> groups;
  for (const Candidate* candidate : ordered) {
    const std::string key = groupKeyOf(candidate->row.values[0]);
    auto& members = groups[key];
    if (members.empty()) groupOrder.push_back(key);
    members.push_back(candidate);
  }
  Output output(sessionText, store.inputBytes());
  const auto carved = [](const Candidate* c) {
    return engine::CarvedContact{groupKeyOf(c->row.values[0]), c->row.values[1].bytes};
  };
  const auto repeatsLive = [&](const Candidate* c) { return liveValues.holds(hashText(c->row.values[1].bytes)); };
  for (const std::string& key : groupOrder) {
    const std::vector<const Candidate*>& members = groups[key];
    const std::size_t paired = std::min(members.size(), kMaxPairedRows);
    std::vector<bool> used(members.size(), false);
    for (std::size_t first = 0; first < paired; ++first) {
      for (std::size_t partner = first + 1; partner < paired; ++partner) {
        if (members[first]->row.values[1].bytes == members[partner]->row.values[1].bytes) continue;
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

DeepResult recoverMessages(const std::string& contactsCopy, const std::string& smsCopy,
                           const std::string& sessionText, const DeepOptions& options) {
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

  std::vector<Candidate> deleted;
  for (Candidate& candidate : pass.candidates()) {
    const CarvedRow& row = candidate.row;
    if (!engine::carriesText(row.values[0].bytes) && !engine::carriesText(row.values[1].bytes)) continue;
    if (live.holds(messageKey(row))) continue;
    deleted.push_back(std::move(candidate));
  }
  const auto ordered = distinctCandidates(deleted, [](const Candidate& c) { return messageKey(c.row); });

  const std::vector<engine::LiveContact> contacts = liveContactRows(contactsCopy);
  const engine::SenderNames names(contacts);
  Output output(sessionText, store.inputBytes());
  for (const Candidate* candidate : ordered) {
    std::string line;
    const engine::CarvedSms message{candidate->row.values[0].bytes, std::string(), candidate->row.values[1].bytes};
    if (engine::appendRecoveredSmsLine(line, message, names)) output.add(std::move(line), candidate->source);
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
  }
  return "?";
}

std::string DeepResult::text() const {
  std::string text;
  for (const DeepLine& line : lines) text += line.text;
  return text;
}

DeepResult RecoverDeep(const std::string& contactsCopy, const std::string& smsCopy, ePaserType kind,
                       const std::string& sessionText, const DeepOptions& options) {
  if (kind == eContacts) {
    if (contactsCopy.find(kContactsFileName) == std::string::npos) return {};
    return recoverContacts(contactsCopy, sessionText, options);
  }
  if (kind == eSms) {
    if (smsCopy.find(kSmsFileName) == std::string::npos) return {};
    return recoverMessages(contactsCopy, smsCopy, sessionText, options);
  }
  return {};
}

std::string WithDeepLines(const std::string& contactsCopy, const std::string& smsCopy, ePaserType kind,
                          const std::string& sessionText) {
  return sessionText + RecoverDeep(contactsCopy, smsCopy, kind, sessionText).text();
}

}  // namespace deep
