#include "records/RecordRows.h"

#include "records/RecordFacts.h"
#include "records/RecordIndex.h"

namespace records {

namespace {

using phone::ContactRecord;
using phone::ConversationRecord;

std::u16string widen(const std::string& utf8) { return WideText(utf8); }

// The detail columns of the contacts list, in column order after the name.
enum DetailColumn { kPhoneColumn = 0, kCompanyColumn = 1, kEmailColumn = 2, kNoColumn = -1 };

DetailColumn columnOf(DetailKind kind) {
  switch (kind) {
    case DetailKind::kPhone:
    case DetailKind::kUnknown:
      return kPhoneColumn;
    case DetailKind::kOrganization:
      return kCompanyColumn;
    case DetailKind::kEmail:
      return kEmailColumn;
    case DetailKind::kOther:
    case DetailKind::kName:
      break;
  }
  return kNoColumn;
}

RecordRow contactRow(const ContactRecord& contact, const ContactIndex& index) {
  RecordRow row{{WideText(contact.displayName), {}, {}, {}}, &contact, contact.checked != 0};
  for (const phone::DataRowRecord* data : index.rowsOf(contact.contactKey)) {
    const DetailColumn column = columnOf(index.kindOf(*data));
    if (column == kNoColumn || data->value == nullptr || data->value[0] == '\0') continue;
    std::u16string& cell = row.cells[static_cast<std::size_t>(column) + 1];
    if (cell.empty()) cell = WideText(data->value);
  }
  return row;
}

RecordRow conversationRow(const ConversationRecord& conversation, const RecordFacts& facts) {
  const ConversationPeer peer = facts.PeerOf(conversation);
  return RecordRow{{widen(peer.name), widen(peer.number), MessageCountText(conversation)},
                   &conversation,
                   conversation.checked != 0};
}

}  // namespace

std::vector<RecordRow> ContactRows(const ExportRecords& records) {
  const ContactIndex index(records);
  std::vector<RecordRow> rows;
  for (const ContactRecord* contact : records.recoveredContacts) rows.push_back(contactRow(*contact, index));
  for (const ContactRecord* contact = records.contacts; contact != nullptr; contact = contact->next) {
    rows.push_back(contactRow(*contact, index));
  }
  return rows;
}

std::vector<RecordRow> MessageRows(const ExportRecords& records) {
  const RecordFacts facts(records);
  std::vector<RecordRow> rows;
  for (const ConversationRecord* conversation : records.recoveredConversations) {
    rows.push_back(conversationRow(*conversation, facts));
  }
  for (const ConversationRecord* conversation = records.conversations; conversation != nullptr;
       conversation = conversation->next) {
    rows.push_back(conversationRow(*conversation, facts));
  }
  return rows;
}

std::u16string MessageCountText(const ConversationRecord& conversation) {
  if (conversation.deleted != 0) return DecimalText(conversation.messageCount) + u" deleted";
  std::u16string text = DecimalText(conversation.messageCount);
  if (conversation.deletedCount > 0) text += u", " + DecimalText(conversation.deletedCount) + u" deleted";
  return text;
}

void CheckAllContacts(const phone::PhoneRecords& records, bool checked) {
  const std::uint8_t flag = checked ? 1 : 0;
  for (phone::ContactExtraRecord* extra = records.contactLists().extras; extra != nullptr; extra = extra->next) {
    extra->checked = flag;
  }
  for (ContactRecord* contact = records.contactLists().contacts; contact != nullptr; contact = contact->next) {
    contact->checked = flag;
  }
  for (ContactRecord* contact : records.recoveredContacts()) contact->checked = flag;
}

void CheckAllMessages(const phone::PhoneRecords& records, bool checked) {
  const std::uint8_t flag = checked ? 1 : 0;
  for (ConversationRecord* conversation = records.smsLists().conversations; conversation != nullptr;
       conversation = conversation->next) {
    conversation->checked = flag;
  }
  for (ConversationRecord* conversation : records.recoveredConversations()) conversation->checked = flag;
}

}  // namespace records
