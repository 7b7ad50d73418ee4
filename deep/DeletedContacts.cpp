#include "deep/DeletedContacts.h"

#include <unordered_map>
#include <unordered_set>

#include "deep/CandidateStore.h"
#include "deep/LeafCells.h"
#include "deep/PageImagePass.h"
#include "engine/RecoveredText.h"

namespace deep {

namespace {

// The columns read of each data row, in this order; the first two make the
// recovered-record text and every row holds them.
enum ContactValue : std::size_t { kRawContactId, kData1, kMimeTypeId, kData2, kData3, kData4, kData5 };
constexpr std::size_t kRequiredValues = 2;

RecordLayout dataLayout(const TableShape& data) {
  return RecordLayout::of(data,
                          {data.columnIndex("raw_contact_id"), data.columnIndex("data1"),
                           data.columnIndex("mimetype_id"), data.columnIndex("data2"), data.columnIndex("data3"),
                           data.columnIndex("data4"), data.columnIndex("data5")},
                          kRequiredValues);
}

// The raw contacts waiting for their account to sync their deletion.
std::unordered_set<std::string> markedDeletedRawContacts(PageStore& store, const Schema& schema) {
  std::unordered_set<std::string> marked;
  const TableShape* raw = schema.find("raw_contacts");
  if (raw == nullptr || raw->columnIndex("deleted") < 0) return marked;
  const CellCarver rawCarver(RecordLayout::of(*raw, {raw->columnIndex("deleted")}), store.usableSize());
  std::vector<CarvedRow> rows;
  store.walkTable(raw->rootPage, [&](std::uint32_t page, ByteView image) {
    rows.clear();
    ReadLeafCells(store, image, PageStore::btreeHeaderOffset(page), rawCarver, rows);
    for (const CarvedRow& row : rows) {
      if (row.values[0].kind == Value::Kind::kInteger && row.values[0].integer != 0) {
        marked.insert(std::to_string(row.rowid));
      }
    }
  });
  return marked;
}

std::optional<std::int64_t> integerOf(const Candidate& candidate, std::size_t k) {
  std::int64_t value = 0;
  if (!candidate.integer(k, value)) return std::nullopt;
  return value;
}

FoundContact foundOf(const Candidate& candidate, bool repeatsLive) {
  FoundContact found;
  engine::RecoveredContactRow& row = found.row;
  if (candidate.hasRowid) row.rowid = candidate.rowid;
  row.rawContactId = integerOf(candidate, kRawContactId);
  row.mimeTypeId = integerOf(candidate, kMimeTypeId);
  row.data1 = std::string(candidate.bytes(kData1));
  row.data2 = std::string(candidate.text(kData2));
  row.data3 = std::string(candidate.text(kData3));
  row.data4 = std::string(candidate.text(kData4));
  row.data5 = std::string(candidate.text(kData5));
  row.sources = RowSourcesOf(candidate.sources);
  row.page = candidate.page;
  found.group = std::string(candidate.text(kRawContactId));
  found.source = candidate.source;
  found.repeatsLive = repeatsLive;
  return found;
}

}  // namespace

ContactFindings FindDeletedContacts(const std::string& contactsCopy, const DeepOptions& options) {
  ContactFindings findings;
  PageStore store;
  if (!store.open(contactsCopy)) return findings;
  findings.inputBytes = store.inputBytes();
  PageImagePass pass(store, options);
  const Schema schema = pass.ReadSchema();
  const TableShape* data = schema.find("data");
  if (data == nullptr) return findings;
  const RecordLayout layout = dataLayout(*data);
  if (!layout.usable()) return findings;

  const std::unordered_set<std::string> markedDeleted = markedDeletedRawContacts(store, schema);
  const CellCarver carver(layout, store.usableSize());
  std::unordered_map<std::int64_t, std::size_t> liveByRowid;  // rowid to hash of data1
  LiveValues livePairs;   // raw contact and data1 of live rows
  LiveValues liveValues;  // data1 of live rows
  ValueArena markedValues;
  std::vector<Candidate> marked;
  pass.WalkCurrentTable(carver, [&](CarvedRow& row) {
    const std::string group = row.values[kRawContactId].asText();
    if (markedDeleted.count(group) != 0) {
      if (options.reads(Source::kMarkedDeleted)) {
        marked.push_back(Candidate::Of(row, Source::kMarkedDeleted, 0, markedValues));
      }
      return;
    }
    const std::string value = row.values[kData1].asText();
    liveByRowid[row.rowid] = HashText(value);
    livePairs.Add(HashPair(group, value));
    liveValues.Add(HashText(value));
  });
  livePairs.Seal();
  liveValues.Seal();
  // Rows of marked raw contacts come first: they are whole.
  std::vector<Candidate>& found = pass.candidates();
  std::vector<Candidate> all;
  all.reserve(marked.size() + found.size());
  for (Candidate& candidate : marked) all.push_back(std::move(candidate));
  pass.MineOtherImages(carver);
  for (Candidate& candidate : found) all.push_back(std::move(candidate));

  // Deleted rows: not the value of a live row.
  std::vector<Candidate> deleted;
  for (Candidate& candidate : all) {
    const std::string_view value = candidate.text(kData1);
    if (!engine::carriesText(candidate.bytes(kData1))) continue;
    if (candidate.source != Source::kMarkedDeleted) {
      if (livePairs.holds(HashPair(candidate.text(kRawContactId), value))) continue;
      if (candidate.hasRowid) {
        const auto live = liveByRowid.find(candidate.rowid);
        if (live != liveByRowid.end() && live->second == HashText(value)) continue;
      }
    }
    deleted.push_back(std::move(candidate));
  }
  const auto ordered = DistinctCandidates(
      deleted, [](const Candidate& c) { return HashPair(c.text(kRawContactId), c.bytes(kData1)); });
  findings.rows.reserve(ordered.size());
  for (const Candidate* candidate : ordered) {
    findings.rows.push_back(foundOf(*candidate, liveValues.holds(HashText(candidate->bytes(kData1)))));
  }
  return findings;
}

}  // namespace deep
