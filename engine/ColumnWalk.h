#pragma once
// Decodes the serial types of one carved record, column by column, and
// locates the wanted fields in its body.
//
// The walk starts at the record's first serial type (the header-length
// varint is not part of it). After column j it knows the running total t:
// header bytes plus body bytes so far, so the record ends at start + t once
// every column has been walked. The carvers decide between columns whether
// to go on; the walk itself never reads outside its buffer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace engine {

class WorkBuffer;

class ColumnWalk {
 public:
  // The fields of a row the session reads: those of the recovered-record
  // text and the rest of the row the records use.
  static constexpr std::size_t kMaxWanted = 8;

  ColumnWalk(const WorkBuffer& buffer, std::uint64_t start, const int* wanted, std::size_t wantedCount);

  // Decodes the next column's serial type.
  void decodeColumn();

  int columnsDecoded() const { return column_; }
  std::uint64_t total() const { return total_; }

  // The stored width of wanted field `index` (before any cut at the buffer end).
  std::uint64_t fieldWidth(std::size_t index) const { return index < wantedCount_ ? spans_[index].width : 0; }

  // The stored bytes of wanted field `index`, once every column is decoded.
  std::string field(std::size_t index) const;
  // The serial type of wanted field `index` (0, NULL, for a column the
  // record does not reach or the layout does not have).
  std::uint64_t fieldType(std::size_t index) const { return index < wantedCount_ ? spans_[index].serialType : 0; }

 private:
  struct Span {
    std::uint64_t offset = 0;
    std::uint64_t width = 0;
    std::uint64_t serialType = 0;
  };

  const WorkBuffer& buffer_;
  std::array<int, kMaxWanted> wanted_{};
  std::array<Span, kMaxWanted> spans_{};
  std::size_t wantedCount_;
  int column_ = 0;
  std::uint64_t header_;        // position of the next serial type, then of the body
  std::uint64_t bodyOffset_ = 0;
  std::uint64_t total_ = 0;
};

}  // namespace engine
