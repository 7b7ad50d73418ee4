#include "records/CMsgInfoBoard.h"

#include <algorithm>

#include "records/ScrollRequest.h"

#include "records/ConversationContent.h"

namespace records {

CMsgInfoBoard::~CMsgInfoBoard() {
  if (IsWindow()) ::DestroyWindow(m_hWnd);
}

bool CMsgInfoBoard::Create(HWND parent, const phone::PhoneRecords& records) {
  return Create(parent, records.smsLists());
}

bool CMsgInfoBoard::Create(HWND parent, const phone::SmsLists& lists) {
  if (IsWindow()) return false;  // one window per object; destroy it first
  lists_ = &lists;
  return CSkinnedDialog::Create(parent) != nullptr;
}

void CMsgInfoBoard::ShowConversation(const phone::ConversationRecord* conversation) {
  SetScrollRange(100, 100);
  ClearBubbles();
  if (conversation != nullptr) {
    const std::vector<BubbleText> texts =
        ConversationBubblesOf(*conversation, lists_ != nullptr ? lists_->messages : nullptr);
    controls::WindowDC screen(m_hWnd);
    controls::SelectScope font(screen.dc(), CMsgInfoItem::BodyFont());
    bubbles_.reserve(texts.size());
    for (const BubbleText& text : texts) AddBubble(screen.dc(), text);
    SetScrollRange(contentHeight_ / kScrollUnit, (client_.bottom - client_.top) / kScrollUnit);
  }
  Invalidate();
  ::UpdateWindow(m_hWnd);
}

RECT CMsgInfoBoard::BubbleRectInClient(std::size_t index) const {
  const CMsgInfoItem& bubble = bubbles_.at(index);
  const int y = bubble.top() - scrollPosition_ * kScrollUnit;
  return RECT{CMsgInfoItem::kLeft, y, CMsgInfoItem::kLeft + CMsgInfoItem::kWidth, y + bubble.height()};
}

// Message handlers.

LRESULT CMsgInfoBoard::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  ::SetWindowPos(m_hWnd, nullptr, kPlacement.left, kPlacement.top, kPlacement.right - kPlacement.left,
                 kPlacement.bottom - kPlacement.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  client_ = GetClientRect();
  SetScrollRange(100, 100);
  return FALSE;  // the keyboard focus stays where it is (the record list)
}

LRESULT CMsgInfoBoard::OnVScroll(UINT, WPARAM wParam, LPARAM, BOOL&) {
  ScrollTo(ScrollPositionFor(LOWORD(wParam), ReadScrollState(m_hWnd)));
  return 0;
}

LRESULT CMsgInfoBoard::OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&) {
  // One step per message, whatever the delta; away from the user goes up.
  const int step = GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? -kWheelStep : kWheelStep;
  ScrollTo(scrollPosition_ + step);
  return 0;
}

LRESULT CMsgInfoBoard::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& handled) {
  ::SetFocus(m_hWnd);
  handled = FALSE;
  return 0;
}

LRESULT CMsgInfoBoard::OnShowConversation(UINT, WPARAM, LPARAM lParam, BOOL&) {
  ShowConversation(reinterpret_cast<const phone::ConversationRecord*>(lParam));
  return 0;
}

// Implementation.

void CMsgInfoBoard::DoPaint(HDC dc) {
  const RECT client = GetClientRect();
  ::SetBkColor(dc, CMsgInfoItem::kBackground);
  ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
  const int offset = scrollPosition_ * kScrollUnit;
  const controls::CompatibleDC pieces(dc);
  for (std::size_t i = FirstBubbleBelow(offset); i < bubbles_.size(); ++i) {
    const CMsgInfoItem& bubble = bubbles_[i];
    if (bubble.top() - offset >= client.bottom) break;
    bubble.Draw(dc, pieces.get(), CMsgInfoItem::kLeft, bubble.top() - offset, frames_);
  }
  controls::UniqueGdi<HPEN> pen(::CreatePen(PS_SOLID, 1, kBorderColour));
  controls::SelectScope selectPen(dc, pen.get());
  ::MoveToEx(dc, 0, client.top, nullptr);
  ::LineTo(dc, 0, client.bottom);
}

void CMsgInfoBoard::ClearBubbles() {
  bubbles_.clear();
  bubbles_.shrink_to_fit();
  contentHeight_ = kFirstTop;
  scrollPosition_ = 0;
}

bool CMsgInfoBoard::AddBubble(HDC dc, const BubbleText& text) {
  if (text.body.empty()) return false;
  bubbles_.emplace_back(dc, text, contentHeight_);
  contentHeight_ = bubbles_.back().bottom();
  return true;
}

void CMsgInfoBoard::SetScrollRange(int maximum, int page) {
  ResetScrollBar(m_hWnd, maximum, page);
  scrollPosition_ = 0;
}

// The system keeps the position inside the range: write it, read it back.
void CMsgInfoBoard::ScrollTo(int position) {
  const int moved = MoveScrollBar(m_hWnd, position);
  if (moved == scrollPosition_) return;
  scrollPosition_ = moved;
  Invalidate();
  ::UpdateWindow(m_hWnd);
}

std::size_t CMsgInfoBoard::FirstBubbleBelow(int y) const {
  const auto found = std::upper_bound(bubbles_.begin(), bubbles_.end(), y,
                                      [](int value, const CMsgInfoItem& bubble) { return value < bubble.bottom(); });
  return static_cast<std::size_t>(found - bubbles_.begin());
}

}  // namespace records
