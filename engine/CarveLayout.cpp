#include "engine/CarveLayout.h"

namespace engine {

CarveLayout CarveLayout::contacts(int count, int rawContactIdColumn, int data1Column,
                                  const ContactExtraColumns& extra) {
  CarveLayout layout;
  layout.table = CarvedTable::Contacts;
  layout.columnCount = count;
  layout.wanted = {{rawContactIdColumn, data1Column, extra.mimeTypeId, extra.data2, extra.data3, extra.data4,
                    extra.data5, -1}};
  layout.wantedCount = 7;
  layout.requiredCount = 2;
  return layout;
}

CarveLayout CarveLayout::sms(int count, int addressColumn, int personColumn, int bodyColumn,
                             const SmsExtraColumns& extra) {
  CarveLayout layout;
  layout.table = CarvedTable::Sms;
  layout.columnCount = count;
  layout.wanted = {{addressColumn, personColumn, bodyColumn, extra.threadId, extra.date, extra.dateSent, extra.type,
                    extra.read}};
  layout.wantedCount = 8;
  layout.requiredCount = 3;
  return layout;
}

bool CarveLayout::isUsable() const {
  if (columnCount < 1) return false;
  for (std::size_t k = 0; k < requiredCount; ++k) {
    if (wanted[k] < 0 || wanted[k] >= columnCount) return false;
  }
  return true;
}

}  // namespace engine
