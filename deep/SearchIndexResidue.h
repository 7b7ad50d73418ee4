#pragma once
// What the full-text index `words` (FTS3) of the SMS database still holds of
// deleted messages: the postings of documents its content table no longer
// has, in its older segments, give back their words in order (lower-cased,
// without punctuation; see FullTextIndex.h).

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

#include "deep/PageImagePass.h"
#include "deep/PageStore.h"

namespace deep {

// The word sequences of deleted documents, by docid, leaving out those whose
// words hash (HashText of fullTextWords) to one of `known`: bodies
// recovered elsewhere. Empty when the copy has no such index.
std::vector<std::string> SearchIndexTexts(PageStore& store, const Schema& schema,
                                          const std::unordered_set<std::size_t>& known);

}  // namespace deep
