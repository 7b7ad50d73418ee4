#pragma once
// Where the wanted columns of a carved table sit, and how its rows are
// recognised in free space.

#include <array>
#include <cstddef>
#include <functional>

namespace engine {

class ColumnWalk;

enum class CarvedTable { Contacts, Sms };

// The columns of the rest of a row that the records use, by name; a table
// that lacks one reads it as NULL.
struct ContactExtraColumns {
  int mimeTypeId = -1, data2 = -1, data3 = -1, data4 = -1, data5 = -1;
};
struct SmsExtraColumns {
  int threadId = -1, date = -1, dateSent = -1, type = -1, read = -1;
};

struct CarveLayout {
  static constexpr std::size_t kMaxWanted = 8;

  CarvedTable table = CarvedTable::Contacts;
  int columnCount = 0;  // M: columns of the carved table
  // Contacts: raw_contact_id, data1, then mimetype_id, data2 to data5.
  // SMS: address, person, body, then thread_id, date, date_sent, type, read.
  // The first `requiredCount` make the recovered-record text and must be
  // columns of the table; the others are -1 when the table lacks them.
  std::array<int, kMaxWanted> wanted{{-1, -1, -1, -1, -1, -1, -1, -1}};
  std::size_t wantedCount = 0;
  std::size_t requiredCount = 0;

  static CarveLayout contacts(int count, int rawContactIdColumn, int data1Column,
                              const ContactExtraColumns& extra = ContactExtraColumns());
  static CarveLayout sms(int count, int addressColumn, int personColumn, int bodyColumn,
                         const SmsExtraColumns& extra = SmsExtraColumns());

  int data1Column() const { return wanted[1]; }
  int bodyColumn() const { return wanted[2]; }

  // A layout can be carved when the table has columns and every required
  // position is one of them.
  bool isUsable() const;
};

// Receives each record a carver completes.
using RecordSink = std::function<void(const ColumnWalk&)>;

}  // namespace engine
