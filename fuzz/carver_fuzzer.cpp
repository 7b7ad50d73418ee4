// Fuzz target: the carvers and the text formatting on raw bytes, without
// SQLite in the way. The first bytes choose the table, its column count and
// the wanted positions; the rest is a freeblock's or an area's content.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/CarveLayout.h"
#include "engine/ColumnWalk.h"
#include "engine/FreeblockCarver.h"
#include "engine/RecoveredText.h"
#include "engine/UnassignedAreaCarver.h"
#include "engine/WorkBuffer.h"

using namespace engine;

namespace {

constexpr std::size_t kHeader = 5;

CarveLayout layoutFrom(const std::uint8_t* data) {
  const int columns = 1 + data[1] % 64;
  const int a = data[2] % columns;
  const int b = data[3] % columns;
  const int c = data[4] % columns;
  return (data[0] & 1) ? CarveLayout::sms(columns, a, b, c) : CarveLayout::contacts(columns, a, b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kHeader) return 0;
  const CarveLayout layout = layoutFrom(data);
  static WorkBuffer buffer;
  buffer.assign(data + kHeader, size - kHeader);
  const auto length = static_cast<std::int64_t>(size - kHeader);

  std::vector<CarvedContact> contacts;
  std::vector<CarvedSms> messages;
  const RecordSink sink = [&](const ColumnWalk& walk) {
    if (layout.table == CarvedTable::Contacts) {
      contacts.push_back(CarvedContactOf(walk.field(0), walk.field(1)));
    } else {
      messages.push_back(CarvedSmsOf(walk.field(0), walk.field(1), walk.field(2)));
    }
  };
  if (data[0] & 2) {
    carveUnassignedArea(buffer, length, layout, sink);
  } else {
    carveFreeblock(buffer, length, layout, sink);
  }
  formatRecoveredContacts(contacts);
  formatRecoveredSms(messages, {LiveContact{std::string("\x01", 1), "555"}, LiveContact{"\x01", "Alice"}});
  return 0;
}
