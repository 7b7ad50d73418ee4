#include "deep/FullTextIndex.h"

#include <algorithm>

namespace deep {

namespace {

// Words kept in all: far more than any phone's deleted messages hold, few
// enough that a crafted index cannot fill memory.
constexpr std::uint64_t kMaxTermBytes = 64u << 20;
constexpr std::uint64_t kMaxPosition = 1u << 20;
constexpr std::size_t kMaxTermLength = 4096;

// The index's own varint: 7 bits a byte, the least significant group first,
// while the high bit is set (at most 10 bytes).
bool fullTextVarint(ByteView bytes, std::size_t& at, std::uint64_t& value) {
  std::uint64_t result = 0;
  for (std::size_t k = 0; k < 10; ++k) {
    if (at + k >= bytes.size()) return false;
    const std::uint8_t byte = bytes.at(at + k);
    result |= static_cast<std::uint64_t>(byte & 0x7Fu) << (7 * k);
    if ((byte & 0x80u) == 0) {
      at += k + 1;
      value = result;
      return true;
    }
  }
  return false;
}

}  // namespace

void FullTextPostings::readLeaf(ByteView node) {
  std::size_t at = 0;
  std::uint64_t height = 0;
  if (!fullTextVarint(node, at, height) || height != 0) return;
  std::string term;
  bool first = true;
  while (at < node.size()) {
    std::uint64_t prefix = 0;
    std::uint64_t suffix = 0;
    if (!first && !fullTextVarint(node, at, prefix)) return;
    if (!fullTextVarint(node, at, suffix)) return;
    if (prefix > term.size() || suffix > kMaxTermLength || !node.holds(at, static_cast<std::size_t>(suffix))) return;
    term.resize(static_cast<std::size_t>(prefix));
    term.append(reinterpret_cast<const char*>(node.data()) + at, static_cast<std::size_t>(suffix));
    at += static_cast<std::size_t>(suffix);
    first = false;
    std::uint64_t length = 0;
    if (!fullTextVarint(node, at, length) || !node.holds(at, static_cast<std::size_t>(length))) return;
    readDoclist(ByteView(node.data() + at, static_cast<std::size_t>(length)), term);
    at += static_cast<std::size_t>(length);
  }
}

void FullTextPostings::readDoclist(ByteView doclist, const std::string& term) {
  std::size_t at = 0;
  std::int64_t docid = 0;
  while (at < doclist.size()) {
    std::uint64_t delta = 0;
    if (!fullTextVarint(doclist, at, delta)) return;
    docid += static_cast<std::int64_t>(delta);
    std::uint64_t column = 0;
    std::uint64_t previous = 0;
    for (;;) {
      std::uint64_t value = 0;
      if (!fullTextVarint(doclist, at, value)) return;
      if (value == 0) break;
      if (value == 1) {
        if (!fullTextVarint(doclist, at, column)) return;
        previous = 0;
        continue;
      }
      const std::uint64_t position = previous + value - 2;
      previous = position;
      if (column != column_ || position > kMaxPosition || termBytes_ + term.size() > kMaxTermBytes) continue;
      if (std::binary_search(live_.begin(), live_.end(), docid)) continue;
      termBytes_ += term.size();
      words_[docid][position] = term;
    }
  }
}

std::string fullTextWords(const std::string& text) {
  std::string words;
  bool inWord = false;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool wordByte = byte >= 0x80 || (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
                          (byte >= 'A' && byte <= 'Z');
    if (!wordByte) {
      inWord = false;
      continue;
    }
    if (!inWord && !words.empty()) words += ' ';
    inWord = true;
    words += static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte);
  }
  return words;
}

std::map<std::int64_t, std::string> FullTextPostings::texts() const {
  std::map<std::int64_t, std::string> texts;
  for (const auto& [docid, words] : words_) {
    std::string& text = texts[docid];
    for (const auto& [position, word] : words) {
      if (!text.empty()) text += ' ';
      text += word;
    }
  }
  return texts;
}

}  // namespace deep
