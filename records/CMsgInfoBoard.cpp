#include "records/CMsgInfoBoard.h"

#include <algorithm>

#include "records/ConversationContent.h"

namespace records {

namespace {

// The new scroll position for a scroll-bar request; `info` holds every field.
int positionFor(int request, const SCROLLINFO& info) {
  switch (request) {
    case SB_LINEUP: return info.nPos - 1;
    case SB_LINEDOWN: return info.nPos + 1;
    case SB_PAGEUP: return info.nPos - static_cast<int>(info.nPage);
    case SB_PAGEDOWN: return info.nPos + static_cast<int>(info.nPage);
    // The 32-bit track position: the word in wParam would stop at 65535
    // units, a long way short of the end of a long conversation.
    case SB_THUMBTRACK: return info.nTrackPos;
    case SB_TOP: return info.nMin;
    case SB_BOTTOM: return info.nMax;
    default: return info.nPos;
  }
}

}  // namespace

CMsgInfoBoard::~CMsgInfoBoard() {
  if (IsWindow()) ::DestroyWindow(m_hWnd);
}

bool CMsgInfoBoard::Create(HWND parent, const phone::PhoneRecords& records) {
  return Create(parent, records.smsLists());
}

bool CMsgInfoBoard::Create(HWND parent, const phone::SmsLists& lists) {
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
  return TRUE;
}

LRESULT CMsgInfoBoard::OnVScroll(UINT, WPARAM wParam, LPARAM, BOOL&) {
  SCROLLINFO info{sizeof info, SIF_ALL};
  ::GetScrollInfo(m_hWnd, SB_VERT, &info);
  ScrollTo(positionFor(LOWORD(wParam), info));
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
  for (std::size_t i = FirstBubbleBelow(offset); i < bubbles_.size(); ++i) {
    const CMsgInfoItem& bubble = bubbles_[i];
    if (bubble.top() - offset >= client.bottom) break;
    bubble.Draw(dc, CMsgInfoItem::kLeft, bubble.top() - offset, frames_);
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
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL};
  info.nMin = 0;
  info.nMax = maximum;
  info.nPage = static_cast<UINT>(std::max(page, 0));
  info.nPos = 0;
  ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
  scrollPosition_ = 0;
}

// The system keeps the position inside the range: write it, read it back.
void CMsgInfoBoard::ScrollTo(int position) {
  SCROLLINFO info{sizeof info, SIF_POS};
  info.nPos = position;
  ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
  ::GetScrollInfo(m_hWnd, SB_VERT, &info);
  if (info.nPos == scrollPosition_) return;
  scrollPosition_ = info.nPos;
  Invalidate();
  ::UpdateWindow(m_hWnd);
}

std::size_t CMsgInfoBoard::FirstBubbleBelow(int y) const {
  const auto found = std::upper_bound(bubbles_.begin(), bubbles_.end(), y,
                                      [](int value, const CMsgInfoItem& bubble) { return value < bubble.bottom(); });
  return static_cast<std::size_t>(found - bubbles_.begin());
}

}  // namespace records
