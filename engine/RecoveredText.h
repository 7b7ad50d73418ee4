#pragma once
// The recovered-record text: the only product of a recovery session.
//
// Lines end with "\r\n", fields are separated by "\t", a missing value is
// "N/A"; nothing is quoted or escaped.
//   contacts: two data1 values of one contact (or one value and "N/A"),
//             a value of digits only standing second
//   SMS:      sender name, address, body

#include <string>
#include <string_view>
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

// One line per carved message in carving order, named after the live
// contact whose number matches the address (a name cut to 4 KiB). A message
// whose address and body both convert to nothing carries nothing and gets no
// line.
std::string formatRecoveredSms(const std::vector<CarvedSms>& messages,
                               const std::vector<LiveContact>& liveContacts);

}  // namespace engine
