#pragma once
// The segments of an FTS3 full-text index (the provider's `words` table), as
// the file format lays out their leaf nodes (varints of the index's own kind:
// 7 bits a byte, least significant first):
//
//   leaf node:  height (0), then terms in order, each
//               first term:  term length, term bytes
//               later terms: shared prefix length, suffix length, suffix
//               then the term's doclist length and doclist
//   doclist:    per document: docid (the first absolute, later ones as the
//               difference from the previous), then its position list
//   positions:  per position in column 0: position - previous + 2; byte 1
//               followed by a column number switches column (previous back
//               to 0); byte 0 ends the document's list. An empty list is
//               what a deletion writes in a newer segment.
//
// The postings of a deleted document stay in the older segments until a
// merge takes in the segment with its deletion; the terms of one column at
// their positions give back the word sequence of its text (lower-cased, no
// punctuation).

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "deep/ByteView.h"

namespace deep {

// A text as the simple tokenizer sees it: runs of ASCII letters and digits
// and of bytes from 128 up, ASCII letters lower-cased, joined by blanks.
std::string fullTextWords(const std::string& text);

// Terms by position, per document, of one indexed column.
class FullTextPostings {
 public:
  // Keeps the terms of `column` of the documents that `liveDocids` (sorted)
  // does not hold.
  FullTextPostings(std::uint64_t column, std::vector<std::int64_t> liveDocids)
      : column_(column), live_(std::move(liveDocids)) {}

  // Reads one leaf node; a node that is not a leaf, or that ends early,
  // gives what it held up to there. Past a fixed number of bytes of terms
  // in all, no more are kept.
  void readLeaf(ByteView node);

  // The documents' words in position order, joined by blanks.
  std::map<std::int64_t, std::string> texts() const;

 private:
  void readDoclist(ByteView doclist, const std::string& term);

  std::uint64_t column_;
  std::vector<std::int64_t> live_;
  std::uint64_t termBytes_ = 0;
  std::map<std::int64_t, std::map<std::uint64_t, std::string>> words_;
};

}  // namespace deep
