#pragma once
// The checks every value of a recovered row passes before it may make a
// deleted record: a row read from free space can hold anything, and a
// record must never show scraps, borrow another row's values or trust a
// number it cannot bound.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace phone {

// A record text is cut after this many bytes, as the live records' are.
constexpr std::size_t kMaxRecordTextBytes = 1024 * 1024;

// The text a stored value holds: its bytes up to the first NUL, at most
// kMaxRecordTextBytes of them (never cut inside a UTF-8 sequence).
std::string_view TextOf(std::string_view stored);

// True when the text can stand as a value of a record: valid UTF-8 with at
// least two printable characters (neither control characters nor blanks).
bool MakesAValue(std::string_view text);

// A key of the phone's tables as the 32-bit key of a record: 1 to 2^31 - 1,
// nothing otherwise.
std::optional<std::int32_t> RecordKeyOf(std::optional<std::int64_t> key);

// A message date (milliseconds since 1970 UTC) that a phone may have set:
// from 1995 to 2100. Nothing otherwise.
std::optional<std::int64_t> PlausibleDate(std::optional<std::int64_t> millis);

// The decimal digits of a text, in order.
std::string DigitsOf(std::string_view text);

// True when two numbers are the same number: the same digits, or, when
// both have at least 7, one ends with the other (a number saved without
// its country code).
bool SameNumber(std::string_view digitsA, std::string_view digitsB);

// Looks like a phone number: at least 3 digits, and nothing but digits,
// blanks and + - ( ) . / * # , ;
bool LooksLikeNumber(std::string_view text);
// Looks like an e-mail address: something, "@", something with a dot, no
// blanks.
bool LooksLikeEmail(std::string_view text);

}  // namespace phone
