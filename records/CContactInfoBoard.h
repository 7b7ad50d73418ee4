#pragma once
// The contact card: the pane right of the record list that shows one
// contact while the Contacts category is current: a picture, the name in
// large coloured type, up to three organisation lines, and one labelled row
// per phone number and e-mail address, scrolled vertically pixel by pixel.
//
// The main window creates it once, shows a contact with kShowContactMessage
// (RecordViewMessages.h), shows and hides it, and destroys it on reload.

#include <array>
#include <string>
#include <vector>

#include "controls/Pictures.h"
#include "controls/SkinnedDialog.h"
#include "phone/PhoneRecords.h"
#include "records/LineBreaking.h"
#include "records/RecordViewMessages.h"
#include "resources/resource.h"

namespace records {

class CContactInfoBoard : public controls::CSkinnedDialog<CContactInfoBoard> {
 public:
  enum { IDD = IDD_CONTACT_CARD };

  static constexpr RECT kPlacement{733, 34, 733 + 241, 34 + 575};  // in the main window
  static constexpr int kFirstRowTop = 100;
  static constexpr int kSpacerHeight = 15;  // below the last row when the card scrolls
  static constexpr int kWheelStep = 10;     // pixels per wheel message
  static constexpr COLORREF kBackground = RGB(240, 245, 255);
  static constexpr COLORREF kBorderColour = RGB(200, 200, 200);

  // One labelled row; the value's lines follow the card's line-breaking rule.
  struct Row {
    std::wstring label;
    RECT labelRect{};
    std::wstring value;
    RECT valueRect{};
    std::vector<TextLine> lines;
  };

  CContactInfoBoard() = default;
  ~CContactInfoBoard() override;

  // Creates the card as a child of `parent`, placed and shown; it reads the
  // contact lists of `records` whenever a contact is shown. `records` must
  // outlive the card.
  bool Create(HWND parent, const phone::PhoneRecords& records);
  // The same with the contact lists alone.
  bool Create(HWND parent, const phone::ContactLists& lists);

  // Operations: what kShowContactMessage does. Null keeps what is shown.
  void ShowContact(const phone::ContactRecord* contact);

  // Attributes.
  const std::wstring& name() const { return name_; }
  const std::wstring& organization(std::size_t line) const { return organization_.at(line); }
  const std::vector<Row>& rows() const { return rows_; }
  const RECT& contentRect() const { return content_; }
  int scrollOffset() const { return scrollOffset_; }
  int lineHeight() const { return lineHeight_; }

  BEGIN_MSG_MAP(CContactInfoBoard)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_VSCROLL, OnVScroll)
    MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(kShowContactMessage, OnShowContact)
    CHAIN_MSG_MAP(controls::CSkinnedDialog<CContactInfoBoard>)
  END_MSG_MAP()

 protected:
  void DoPaint(HDC dc) override;

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnVScroll(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnShowContact(UINT, WPARAM, LPARAM lParam, BOOL&);

  // Places the rows from y = kFirstRowTop down; returns the content height.
  int LayOutRows(HDC dc);
  void SetScrollRange(int contentHeight);
  void ScrollTo(int position);
  void DrawHeading(HDC dc, int offset);
  void DrawRows(HDC dc, int offset);
  void DrawValue(HDC dc, const Row& row, int offset, int clientHeight);

  const phone::ContactLists* lists_ = nullptr;
  std::wstring name_;
  std::array<std::wstring, 3> organization_;
  controls::Picture picture_;
  RECT client_{};
  RECT content_{};
  std::vector<Row> rows_;
  int scrollOffset_ = 0;
  int lineHeight_ = 0;
};

}  // namespace records
