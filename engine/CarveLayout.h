#pragma once
// Where the wanted columns of a carved table sit, and how its rows are
// recognised in free space.

#include <array>
#include <cstddef>
#include <functional>

namespace engine {

class ColumnWalk;

enum class CarvedTable { Contacts, Sms };

struct CarveLayout {
  CarvedTable table = CarvedTable::Contacts;
  int columnCount = 0;  // M: columns of the carved table
  // Contacts: raw_contact_id, data1. SMS: address, person, body.
  std::array<int, 3> wanted{{-1, -1, -1}};
  std::size_t wantedCount = 0;

  static CarveLayout contacts(int count, int rawContactIdColumn, int data1Column);
  static CarveLayout sms(int count, int addressColumn, int personColumn, int bodyColumn);

  int data1Column() const { return wanted[1]; }
  int bodyColumn() const { return wanted[2]; }

  // A layout can be carved when the table has columns and every wanted
  // position is one of them.
  bool isUsable() const;
};

// Receives each record a carver completes.
using RecordSink = std::function<void(const ColumnWalk&)>;

}  // namespace engine
