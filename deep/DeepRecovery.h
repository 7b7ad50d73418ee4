#pragma once
// Deep recovery: the deleted rows a recovery session cannot see, read from
// a copy and the side files pulled with it ("-wal", "-journal" beside it),
// as extra lines of the recovered-record text.
//
// Where the rows come from (each line says which):
//   kWal            the main file's and every WAL frame's page images:
//                   rows the state of the log no longer holds
//   kJournal        page images in a rollback journal (PERSIST, TRUNCATE)
//   kMarkedDeleted  raw contacts marked deleted (a synced account's
//                   contacts until the account syncs) with their data rows
//   kFreeSpace      cells of every alignment in the freeblocks and the
//                   unassigned areas of the table's leaf pages
//   kFreelist       pages on the freelist, read as leaf pages of the table
//   kFullText       the postings of deleted messages in the segments of the
//                   full-text index `words`: their words in order, written
//                   as "[search index] " and the words, the sender and
//                   address unknown ("N/A")
//
// Lines are formatted as the session formats its own: contacts pair the
// data1 values of one raw contact ("N/A" for a missing one), messages are
// name, address, body with the sender named as the session names it. A row
// whose value a live row of the same table holds, and a line the session
// already wrote, are left out. The deep pass never changes the session's
// text: its lines come after it.
//
// Every offset, length and count read from the files is checked; the text
// is bounded by a fixed multiple of the input's size.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/SqliteParse.h"

namespace deep {

enum class Source : std::uint8_t { kWal, kJournal, kMarkedDeleted, kFreeSpace, kFreelist, kFullText };
constexpr std::size_t kSourceCount = 6;
const char* sourceName(Source source);

struct DeepOptions {
  unsigned sources = (1u << kSourceCount) - 1;  // one bit per Source

  bool reads(Source source) const { return (sources >> static_cast<unsigned>(source) & 1u) != 0; }
  static DeepOptions only(Source source) { return DeepOptions{1u << static_cast<unsigned>(source)}; }
};

// The deep pass's lines, in one text: each a record ended by "\r\n" (a
// body may hold more line ends), with the source it came from.
class DeepResult {
 public:
  DeepResult() = default;
  // A result whose text starts with `prefix`, which is no line of its own.
  explicit DeepResult(std::string prefix) : text_(std::move(prefix)), start_(text_.size()) {}

  const std::string& text() const { return text_; }
  std::string takeText() { return std::move(text_); }
  std::size_t lineCount() const { return ends_.size(); }
  std::string line(std::size_t index) const;
  Source source(std::size_t index) const { return ends_[index].source; }

  void append(std::string_view line, Source source);
  void reserve(std::size_t bytes) { text_.reserve(bytes); }

 private:
  struct LineEnd {
    std::size_t end;
    Source source;
  };
  std::string text_;
  std::size_t start_ = 0;
  std::vector<LineEnd> ends_;
};

// The deep pass over the copies for one kind of session. `sessionText` is
// what the session recovered from the same copies.
DeepResult RecoverDeep(const std::string& contactsCopy, const std::string& smsCopy, ePaserType kind,
                       const std::string& sessionText, const DeepOptions& options = DeepOptions());

// The session's text followed by the deep pass's lines.
std::string WithDeepLines(const std::string& contactsCopy, const std::string& smsCopy, ePaserType kind,
                          const std::string& sessionText);

}  // namespace deep
