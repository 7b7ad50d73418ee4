#pragma once
// The deep pass's findings as lines of the recovered-record text, for
// `carve --deep` and for measuring: formatted as the session formats its own
// lines (contacts pair the data1 values of one raw contact, "N/A" for a
// missing one; messages are name, address, body with the sender named as
// the session names it; a text of the search index is "N/A", "N/A" and
// "[search index] " followed by its words). A line the session already
// wrote, a line written before, and a pair of values that both repeat live
// values are left out.
//
// The text is bounded by a fixed multiple of the input's size.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "deep/DeepOptions.h"
#include "deep/DeletedContacts.h"
#include "deep/DeletedMessages.h"

namespace deep {

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

// The mark before the words of a body rebuilt from the search index.
constexpr const char* kSearchIndexMark = "[search index] ";

// With `afterSession`, the result's text starts with the session's.
DeepResult ContactLines(const ContactFindings& findings, const std::string& sessionText, bool afterSession);
// Senders are named from the live rows of the contacts copy, as the session
// names them.
DeepResult MessageLines(const MessageFindings& findings, const std::string& contactsCopy,
                        const std::string& sessionText, bool afterSession);

// The bodies of the session's message lines (the text after the second tab).
std::vector<std::string> SessionBodies(const std::string& sessionText);

}  // namespace deep
