#include "deep/DeletedMessages.h"

#include <algorithm>
#include <unordered_set>

#include "deep/CandidateStore.h"
#include "deep/FullTextIndex.h"
#include "deep/PageImagePass.h"
#include "deep/SearchIndexResidue.h"
#include "engine/RecoveredText.h"

namespace deep {

namespace {

// The columns read of each message, in this order; the first two are the
// ones every row holds.
enum MessageValue : std::size_t { kAddress, kBody, kThreadId, kDate, kDateSent, kType, kRead, kPerson };
constexpr std::size_t kRequiredValues = 2;

RecordLayout smsLayout(const TableShape& sms) {
  return RecordLayout::of(sms,
                          {sms.columnIndex("address"), sms.columnIndex("body"), sms.columnIndex("thread_id"),
                           sms.columnIndex("date"), sms.columnIndex("date_sent"), sms.columnIndex("type"),
                           sms.columnIndex("read"), sms.columnIndex("person")},
                          kRequiredValues);
}

// A value as text without copying it when it is text already.
std::string_view textOf(const Value& value, std::string& scratch) {
  if (value.kind == Value::Kind::kText || value.kind == Value::Kind::kBlob) return value.bytes;
  scratch = value.asText();
  return scratch;
}

// One message: the same address, body and date. The same words sent twice
// are two messages.
std::size_t messageKey(std::string_view address, std::string_view body, std::string_view date) {
  return HashPair(address, body) ^ (HashText(date) * 0x9e3779b97f4a7c15ull);
}

std::size_t keyOfRow(const CarvedRow& row) {
  std::string address;
  std::string body;
  std::string date;
  return messageKey(textOf(row.values[kAddress], address), textOf(row.values[kBody], body),
                    textOf(row.values[kDate], date));
}

std::size_t keyOfCandidate(const Candidate& candidate) {
  return messageKey(candidate.text(kAddress), candidate.text(kBody), candidate.text(kDate));
}

std::optional<std::int64_t> integerOf(const Candidate& candidate, std::size_t k) {
  std::int64_t value = 0;
  if (!candidate.integer(k, value)) return std::nullopt;
  return value;
}

FoundMessage foundOf(const Candidate& candidate) {
  FoundMessage found{engine::RecoveredMessageRow(), candidate.source};
  engine::RecoveredMessageRow& row = found.row;
  if (candidate.hasRowid) row.rowid = candidate.rowid;
  row.threadId = integerOf(candidate, kThreadId);
  row.date = integerOf(candidate, kDate);
  row.dateSent = integerOf(candidate, kDateSent);
  row.type = integerOf(candidate, kType);
  row.read = integerOf(candidate, kRead);
  row.person = integerOf(candidate, kPerson);
  row.address = std::string(candidate.bytes(kAddress));
  row.body = std::string(candidate.bytes(kBody));
  row.sources = RowSourcesOf(candidate.sources);
  row.page = candidate.page;
  return found;
}

FoundMessage searchIndexText(std::string words) {
  FoundMessage found{engine::RecoveredMessageRow(), Source::kFullText};
  found.row.body = std::move(words);
  found.row.sources = engine::SourceBit(engine::RowSource::kSearchIndex);
  return found;
}

}  // namespace

MessageFindings FindDeletedMessages(const std::string& smsCopy, const std::vector<std::string>& knownBodies,
                                    const DeepOptions& options) {
  MessageFindings findings;
  PageStore store;
  if (!store.open(smsCopy)) return findings;
  findings.inputBytes = store.inputBytes();
  PageImagePass pass(store, options);
  const Schema schema = pass.ReadSchema();
  const TableShape* sms = schema.find("sms");
  if (sms == nullptr) return findings;
  const RecordLayout layout = smsLayout(*sms);
  if (!layout.usable()) return findings;
  const CellCarver carver(layout, store.usableSize());
  LiveValues live;
  pass.WalkLargeTable(smsCopy, carver, keyOfRow, live);
  live.Seal();
  pass.MineOtherImages(carver);

  std::vector<Candidate>& deleted = pass.candidates();
  deleted.erase(std::remove_if(deleted.begin(), deleted.end(),
                               [&](const Candidate& c) {
                                 return (!engine::carriesText(c.bytes(kAddress)) &&
                                         !engine::carriesText(c.bytes(kBody))) ||
                                        live.holds(keyOfCandidate(c));
                               }),
                deleted.end());
  std::vector<std::size_t>().swap(live.hashes);
  const auto ordered = DistinctCandidates(deleted, keyOfCandidate);
  findings.rows.reserve(ordered.size());
  for (const Candidate* candidate : ordered) findings.rows.push_back(foundOf(*candidate));

  if (!options.reads(Source::kFullText) || schema.find("words_segdir") == nullptr) return findings;
  // Bodies recovered here or by the session are not given again as words.
  std::unordered_set<std::size_t> knownWords;
  for (const FoundMessage& found : findings.rows) knownWords.insert(HashText(fullTextWords(found.row.body)));
  for (const std::string& body : knownBodies) knownWords.insert(HashText(fullTextWords(body)));
  for (std::string& words : SearchIndexTexts(store, schema, knownWords)) {
    findings.rows.push_back(searchIndexText(std::move(words)));
  }
  return findings;
}

}  // namespace deep
