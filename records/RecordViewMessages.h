#pragma once
// The messages with which the main window shows a record in its detail
// panes (WM_USER + 101 and WM_USER + 102). wParam is 0; lParam points at the
// record, live or recovered (its deleted marker tells), or is 0.

namespace records {

// To the contact card; lParam a const phone::ContactRecord* or 0 (0 keeps
// what the card shows).
constexpr unsigned int kShowContactMessage = 0x0400 + 101;

// To the conversation view; lParam a const phone::ConversationRecord* or 0
// (0 empties the view).
constexpr unsigned int kShowConversationMessage = 0x0400 + 102;

}  // namespace records
