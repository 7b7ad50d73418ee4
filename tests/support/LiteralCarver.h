#pragma once
// A second, deliberately plain recovery session for differential tests: the
// whole file in memory, the steps one after the other exactly as the
// engine's documentation tells them (walk the tree, sort the leaves, collect
// every freeblock chain, carve every freeblock, then every unassigned area).
// The engine does the same work in one pass over the file; both must give
// the same bytes.

#include <string>

namespace testing_support {

// Same arguments and result as a SqliteParse session; kind 0 contacts, 1 SMS.
std::string literalRecover(const std::string& contactsPath, const std::string& smsPath, int kind);

}  // namespace testing_support
