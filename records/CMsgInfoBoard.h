#pragma once
// The conversation view: the pane right of the record list that shows one
// conversation while the Message category is current. Each message is a
// speech bubble (CMsgInfoItem), stacked from top to bottom, scrolled
// vertically in units of 10 pixels; a recovered message is one right-hand
// bubble.
//
// The main window creates it once, shows it with kShowConversationMessage
// (RecordViewMessages.h), shows and hides it, and destroys it on reload.

#include <vector>

#include "controls/SkinnedDialog.h"
#include "phone/PhoneRecords.h"
#include "records/CMsgInfoItem.h"
#include "records/RecordViewMessages.h"
#include "resources/resource.h"

namespace records {

class CMsgInfoBoard : public controls::CSkinnedDialog<CMsgInfoBoard> {
 public:
  enum { IDD = IDD_MESSAGE_VIEW };

  static constexpr RECT kPlacement{723, 34, 723 + 251, 34 + 575};  // in the main window
  static constexpr int kScrollUnit = 10;                             // pixels
  static constexpr int kWheelStep = 5;                               // units per wheel message
  static constexpr int kFirstTop = 30;                               // above the first bubble
  static constexpr COLORREF kBorderColour = RGB(200, 200, 200);

  CMsgInfoBoard() = default;
  ~CMsgInfoBoard() override;

  // Creates the view as a child of `parent`, placed and shown; it reads the
  // messages of `records` whenever a conversation is shown. `records` must
  // outlive the view.
  bool Create(HWND parent, const phone::PhoneRecords& records);
  // The same with the SMS lists alone.
  bool Create(HWND parent, const phone::SmsLists& lists);

  // Operations: what kShowConversationMessage does. Null empties the view.
  void ShowConversation(const phone::ConversationRecord* conversation);

  // Attributes.
  const std::vector<CMsgInfoItem>& bubbles() const { return bubbles_; }
  // The scroll position in units, and the content height in pixels.
  int scrollPosition() const { return scrollPosition_; }
  int contentHeight() const { return contentHeight_; }
  // The bubble's rectangle in the view's client area as now scrolled.
  RECT BubbleRectInClient(std::size_t index) const;

  BEGIN_MSG_MAP(CMsgInfoBoard)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_VSCROLL, OnVScroll)
    MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(kShowConversationMessage, OnShowConversation)
    CHAIN_MSG_MAP(controls::CSkinnedDialog<CMsgInfoBoard>)
  END_MSG_MAP()

 protected:
  void DoPaint(HDC dc) override;

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnVScroll(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnShowConversation(UINT, WPARAM, LPARAM lParam, BOOL&);

  void ClearBubbles();
  bool AddBubble(HDC dc, const BubbleText& text);
  void SetScrollRange(int maximum, int page);
  void ScrollTo(int position);
  // The first bubble that reaches below `y` of the content.
  std::size_t FirstBubbleBelow(int y) const;

  const phone::SmsLists* lists_ = nullptr;
  RECT client_{};
  BubbleFrames frames_;
  std::vector<CMsgInfoItem> bubbles_;
  int contentHeight_ = 0;
  int scrollPosition_ = 0;
};

}  // namespace records
