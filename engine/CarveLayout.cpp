#include "engine/CarveLayout.h"

namespace engine {

CarveLayout CarveLayout::contacts(int count, int rawContactIdColumn, int data1Column) {
  CarveLayout layout;
  layout.table = CarvedTable::Contacts;
  layout.columnCount = count;
  layout.wanted = {{rawContactIdColumn, data1Column, -1}};
  layout.wantedCount = 2;
  return layout;
}

CarveLayout CarveLayout::sms(int count, int addressColumn, int personColumn, int bodyColumn) {
  CarveLayout layout;
  layout.table = CarvedTable::Sms;
  layout.columnCount = count;
  layout.wanted = {{addressColumn, personColumn, bodyColumn}};
  layout.wantedCount = 3;
  return layout;
}

bool CarveLayout::isUsable() const {
  if (columnCount < 1) return false;
  for (std::size_t k = 0; k < wantedCount; ++k) {
    if (wanted[k] < 0 || wanted[k] >= columnCount) return false;
  }
  return true;
}

}  // namespace engine
