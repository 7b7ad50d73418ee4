#include "tests/gui/RecordViewsSupport.h"

#include <algorithm>
#include <cstdlib>

#include "controls/GdiObjects.h"

namespace view_test {

MainWindowStandIn::MainWindowStandIn(bool visible)
    : window_(::CreateWindowExW(0, L"STATIC", L"main window", WS_POPUP | (visible ? WS_VISIBLE : 0), 40, 40, 984,
                                674, nullptr, nullptr, nullptr, nullptr)) {}

MainWindowStandIn::~MainWindowStandIn() { ::DestroyWindow(window_); }

// The builder hands out const heads; the panes only read through them.
phone::ContactLists ContactListsOf(const records::ExportRecords& records) {
  phone::ContactLists lists;
  lists.contacts = const_cast<phone::ContactRecord*>(records.contacts);
  lists.dataRows = const_cast<phone::DataRowRecord*>(records.dataRows);
  lists.mimeTypes = const_cast<phone::MimeTypeRecord*>(records.mimeTypes);
  lists.deletedDataRows = const_cast<phone::DataRowRecord*>(records.recoveredDataRows);
  return lists;
}

phone::SmsLists SmsListsOf(const records::ExportRecords& records) {
  phone::SmsLists lists;
  lists.conversations = const_cast<phone::ConversationRecord*>(records.conversations);
  lists.messages = const_cast<phone::MessageRecord*>(records.messages);
  return lists;
}


}  // namespace view_test
