#include "deep/SearchIndexResidue.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include "deep/FullTextIndex.h"
#include "deep/LeafCells.h"

namespace deep {

namespace {

// Rows of a table as they are, whatever their columns' declared types say:
// the full-text index's own tables store texts in integer columns.
RecordLayout permissiveLayout(const TableShape& table, const std::vector<int>& wanted) {
  TableShape shape = table;
  for (ColumnRule& rule : shape.rules) rule = ColumnRule{};
  return RecordLayout::of(shape, wanted);
}

ByteView viewOf(const std::string& bytes) {
  return ByteView(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// The docids the content table still holds: the live documents.
std::vector<std::int64_t> liveDocids(PageStore& store, const TableShape& content) {
  std::vector<std::int64_t> live;
  const CellCarver contentRows(permissiveLayout(content, {0}), store.usableSize());
  store.walkTable(content.rootPage, [&](std::uint32_t page, ByteView image) {
    ReadLeafCells(store, image, PageStore::btreeHeaderOffset(page), contentRows,
                  [&](CarvedRow& row) { live.push_back(row.rowid); });
  });
  std::sort(live.begin(), live.end());
  return live;
}

}  // namespace

std::vector<std::string> SearchIndexTexts(PageStore& store, const Schema& schema,
                                          const std::unordered_set<std::size_t>& known) {
  std::vector<std::string> texts;
  const TableShape* content = schema.find("words_content");
  const TableShape* segdir = schema.find("words_segdir");
  const TableShape* segments = schema.find("words_segments");
  if (content == nullptr || segdir == nullptr || segments == nullptr) return texts;
  const int startColumn = segdir->columnIndex("start_block");
  const int leavesColumn = segdir->columnIndex("leaves_end_block");
  const int rootColumn = segdir->columnIndex("root");
  const int blockColumn = segments->columnIndex("block");
  if (startColumn < 0 || leavesColumn < 0 || rootColumn < 0 || blockColumn < 0) return texts;

  // Column 1 of `words` is index_text, the message body.
  FullTextPostings postings(1, liveDocids(store, *content));
  // Segments small enough keep their only node in the directory; the leaves
  // of the others are the blocks of a range.
  std::vector<std::pair<std::int64_t, std::int64_t>> leafRanges;
  const CellCarver directory(permissiveLayout(*segdir, {startColumn, leavesColumn, rootColumn}), store.usableSize());
  store.walkTable(segdir->rootPage, [&](std::uint32_t page, ByteView image) {
    ReadLeafCells(store, image, PageStore::btreeHeaderOffset(page), directory, [&](CarvedRow& row) {
      const Value& root = row.values[2];
      if (root.kind == Value::Kind::kBlob) postings.readLeaf(viewOf(root.bytes));
      if (row.values[0].kind == Value::Kind::kInteger && row.values[1].kind == Value::Kind::kInteger &&
          row.values[0].integer > 0) {
        leafRanges.emplace_back(row.values[0].integer, row.values[1].integer);
      }
    });
  });
  std::sort(leafRanges.begin(), leafRanges.end());
  const CellCarver blocks(permissiveLayout(*segments, {blockColumn}), store.usableSize());
  store.walkTable(segments->rootPage, [&](std::uint32_t page, ByteView image) {
    ReadLeafCells(store, image, PageStore::btreeHeaderOffset(page), blocks, [&](CarvedRow& row) {
      const auto range = std::upper_bound(leafRanges.begin(), leafRanges.end(),
                                          std::make_pair(row.rowid, std::numeric_limits<std::int64_t>::max()));
      if (range == leafRanges.begin() || row.rowid > std::prev(range)->second) return;
      postings.readLeaf(viewOf(row.values[0].bytes));
    });
  });

  for (const auto& [docid, words] : postings.texts()) {
    if (words.empty() || known.count(HashText(words)) != 0) continue;
    texts.push_back(words);
  }
  return texts;
}

}  // namespace deep
