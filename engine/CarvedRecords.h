#pragma once
// The rows a recovery session works with. Every field is a byte string that
// may hold any byte, NUL included.
//
// The first fields of a carved row (raw_contact_id and data1; address,
// person and body) make the recovered-record text. The session carves the
// rest of the row the records need along with them (its serial type and
// bytes, as stored); they never reach the text.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace engine {

// One column of a carved record as it is stored: its serial type and its
// bytes (cut where the carved area ends).
struct StoredValue {
  std::uint64_t serialType = 0;  // 0 NULL, 1 to 6 integers, 7 a float, 8 and 9 the integers 0 and 1, 12 up blob or text
  std::string bytes;
};

// The stored value as a whole number: an integer serial type read from its
// bytes (big-endian, signed); nothing for NULL, floats, texts and blobs, or
// bytes cut short.
std::optional<std::int64_t> StoredInteger(const StoredValue& value);

// A contacts `data` row carved from free space.
struct CarvedContact {
  std::string rawContactId;  // stored big-endian integer bytes, compared as bytes
  std::string data1;         // stored text bytes (UTF-8)
  std::uint64_t rawContactIdType = 0;  // its serial type
  StoredValue mimeTypeId, data2, data3, data4, data5;
};

// A carved contact of the fields the recovered-record text is made of, the
// rest of the row NULL.
inline CarvedContact CarvedContactOf(std::string rawContactId, std::string data1) {
  CarvedContact contact;
  contact.rawContactId = std::move(rawContactId);
  contact.data1 = std::move(data1);
  return contact;
}

// A live contacts `data` row, as SQLite returns it as text (NULL is empty).
struct LiveContact {
  std::string rawContactId;
  std::string data1;
};

// An `sms` row carved from free space. `person` is carried, never written.
struct CarvedSms {
  std::string address;
  std::string person;
  std::string body;
  std::uint64_t personType = 0;  // its serial type
  StoredValue threadId, date, dateSent, type, read;
};

// A carved message of the fields the recovered-record text is made of, the
// rest of the row NULL.
inline CarvedSms CarvedSmsOf(std::string address, std::string person, std::string body) {
  CarvedSms sms;
  sms.address = std::move(address);
  sms.person = std::move(person);
  sms.body = std::move(body);
  return sms;
}

}  // namespace engine
