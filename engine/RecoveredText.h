#pragma once
// The recovered-record text: the only product of a recovery session.
//
// Lines end with "\r\n", fields are separated by "\t", a missing value is
// "N/A"; nothing is quoted or escaped.
//   contacts: two data1 values of one contact (or one value and "N/A"),
//             a value of digits only standing second
//   SMS:      sender name, address, body

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/CarvedRecords.h"

namespace engine {

// A stored text field as narrow text: the bytes up to the first NUL, empty
// when they are not valid UTF-8.
std::string toAnsiText(std::string_view field);

// True when toAnsiText of the field is not empty: something before the first
// NUL, and valid UTF-8.
bool carriesText(std::string_view field);

// True for a non-empty value made of the ASCII digits 0 to 9 only.
bool isAllDigits(std::string_view value);

// Pair lines (by first row, then partner, in carving order), then the rows
// that took part in no pair. Only the first 64 rows of one contact take part
// in pairs; its further rows are listed singly.
std::string formatRecoveredContacts(const std::vector<CarvedContact>& rows);

// Answers "which name goes with this address" the way a scan of the live
// rows in list order would: the address with its first "+86" removed is
// looked up among the live data1 values; the first live row that holds it
// names the sender by the first other row of its raw contact (cut to 4 KiB),
// else "N/A". Keeps a reference to the rows.
class SenderNames {
 public:
  explicit SenderNames(const std::vector<LiveContact>& live);
  std::string nameFor(const std::string& address) const;

 private:
  struct FirstTwo {
    std::size_t row[2] = {0, 0};
    std::size_t count = 0;
  };

  // Names are converted once per live row, however many messages name it.
  const std::string& nameOfRow(std::size_t row) const;

  const std::vector<LiveContact>& live_;
  mutable std::unordered_map<std::size_t, std::string> names_;
  std::unordered_map<std::string_view, std::size_t> firstWithValue_;
  std::unordered_map<std::string_view, FirstTwo> firstTwoOfContact_;
};

// Appends the line of one carved message (name, address, body); false, and
// nothing appended, when its address and body both convert to nothing.
bool appendRecoveredSmsLine(std::string& text, const CarvedSms& message, const SenderNames& names);

// One line per carved message in carving order, named after the live
// contact whose number matches the address (a name cut to 4 KiB). A message
// whose address and body both convert to nothing carries nothing and gets no
// line.
std::string formatRecoveredSms(const std::vector<CarvedSms>& messages,
                               const std::vector<LiveContact>& liveContacts);

}  // namespace engine
