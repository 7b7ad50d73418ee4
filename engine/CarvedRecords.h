#pragma once
// The rows a recovery session works with. Every field is a byte string that
// may hold any byte, NUL included.

#include <string>

namespace engine {

// A contacts `data` row carved from free space.
struct CarvedContact {
  std::string rawContactId;  // stored big-endian integer bytes, compared as bytes
  std::string data1;         // stored text bytes (UTF-8)
};

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
};

}  // namespace engine
