#include "engine/SessionRows.h"

namespace engine {

namespace {

constexpr std::uint64_t kFirstTextOrBlob = 12;

// A column of a text table as text: its bytes, or a number in decimal.
std::string textOf(const StoredValue& value) {
  if (value.serialType >= kFirstTextOrBlob) return value.bytes;
  const auto number = StoredInteger(value);
  return number ? std::to_string(*number) : std::string();
}

}  // namespace

std::vector<RecoveredContactRow> ContactRowsOf(const std::vector<CarvedContact>& carved) {
  std::vector<RecoveredContactRow> rows;
  rows.reserve(carved.size());
  for (const CarvedContact& contact : carved) {
    RecoveredContactRow row;
    row.rawContactId = StoredInteger(StoredValue{contact.rawContactIdType, contact.rawContactId});
    row.mimeTypeId = StoredInteger(contact.mimeTypeId);
    row.data1 = contact.data1;
    row.data2 = textOf(contact.data2);
    row.data3 = textOf(contact.data3);
    row.data4 = textOf(contact.data4);
    row.data5 = textOf(contact.data5);
    row.sources = SourceBit(RowSource::kFreeSpace);
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<RecoveredMessageRow> MessageRowsOf(const std::vector<CarvedSms>& carved) {
  std::vector<RecoveredMessageRow> rows;
  rows.reserve(carved.size());
  for (const CarvedSms& sms : carved) {
    RecoveredMessageRow row;
    row.threadId = StoredInteger(sms.threadId);
    row.date = StoredInteger(sms.date);
    row.dateSent = StoredInteger(sms.dateSent);
    row.type = StoredInteger(sms.type);
    row.read = StoredInteger(sms.read);
    row.person = StoredInteger(StoredValue{sms.personType, sms.person});
    row.address = sms.address;
    row.body = sms.body;
    row.sources = SourceBit(RowSource::kFreeSpace);
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace engine
