#include "controls/CMsgBox.h"

#include <algorithm>

#include "controls/DrawingHelpers.h"
#include "controls/GdiObjects.h"
#include "controls/WebPages.h"

namespace controls {

namespace {

struct FlagButtonInfo {
  int flag;
  int id;
  const wchar_t* picture;
};

// In the order of CMsgBox::flagButtons_, which is the order they are attached.
constexpr FlagButtonInfo kFlagButtons[] = {
    {kMsgBoxOk, IDC_MSG_OK, L"ok.png"},
    {kMsgBoxCancel, IDC_MSG_CANCEL, L"cancel.png"},
    {kMsgBoxYes, IDC_MSG_YES, L"yes.png"},
    {kMsgBoxNo, IDC_MSG_NO, L"no.png"},
};

// Left to right: the affirmative button of a pair comes first.
constexpr int kPlacementOrder[] = {kMsgBoxOk, kMsgBoxYes, kMsgBoxCancel, kMsgBoxNo};

constexpr const wchar_t* kIconPictures[] = {L"warn.png", L"error.png", L"info.png", L"right.png"};

constexpr int kButtonFrames = 4;
constexpr POINT kClosePosition = {-5, 5};
constexpr POINT kFlagButtonPosition = {-15, -25};  // before PlaceButtons moves them
constexpr int kIconLeft = 20;
constexpr int kIconSize = 40;
constexpr POINT kTitlePosition = {40, 7};
constexpr int kTextLeft = 70;
constexpr int kTextRightMargin = 10;
constexpr UINT kTextFormat = DT_LEFT | DT_NOPREFIX;

int idOfFlag(int flag) {
  for (const FlagButtonInfo& button : kFlagButtons) {
    if (button.flag == flag) return button.id;
  }
  return 0;
}

// An icon kind the box does not know shows no icon.
Picture loadIcon(int iconKind) {
  const bool known = iconKind >= 0 && iconKind < static_cast<int>(std::size(kIconPictures));
  return known ? LoadPicture(kIconPictures[iconKind]) : Picture();
}

HFONT titleFont() { return get_font(L"Arial", 14, 400); }
HFONT messageFont() { return get_font(L"Arial", 16, 400); }

}  // namespace

CMsgBox::CMsgBox(int icon, int buttons, const std::wstring& text)
    : iconKind_(icon), buttons_(buttons), background_(LoadPicture(L"msgbox.png")), text_(text) {
  KeepBackgroundUnder(closeButton_);
  for (CImgButton& button : flagButtons_) KeepBackgroundUnder(button);
}

int CMsgBox::Show(int icon, int buttons, const std::wstring& text, HWND parent) {
  CMsgBox box(icon, buttons, text);
  return static_cast<int>(box.DoModal(parent != nullptr ? parent : ::GetActiveWindow()));
}

std::vector<CMsgBox::ButtonPlace> CMsgBox::PlaceButtons(int buttons, SIZE client,
                                                        const std::function<SIZE(int id)>& frameSize) {
  std::vector<ButtonPlace> row;
  for (const int flag : kPlacementOrder) {
    if ((buttons & flag) == 0) continue;
    const int id = idOfFlag(flag);
    const SIZE size = frameSize(id);
    row.push_back(ButtonPlace{id, RECT{0, 0, size.cx, size.cy}});
  }
  int x = 0;
  if (row.size() == 1) {
    x = (client.cx - row[0].rect.right) / 2;
  } else if (row.size() == 2) {
    x = client.cx / 2 - row[0].rect.right - kPairGap / 2;
  } else {
    // More than a pair never happens in this program: a centred row.
    int width = kPairGap * (static_cast<int>(row.size()) - 1);
    for (const ButtonPlace& place : row) width += place.rect.right;
    x = (client.cx - width) / 2;
  }
  for (ButtonPlace& place : row) {
    const int width = place.rect.right;
    const int height = place.rect.bottom;
    const int y = client.cy - height - kBottomMargin;
    place.rect = RECT{x, y, x + width, y + height};
    x += width + kPairGap;
  }
  return row;
}

// Message handlers.

LRESULT CMsgBox::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  Initialize();
  return TRUE;
}

// Implementation.

void CMsgBox::Initialize() {
  icon_ = loadIcon(iconKind_);
  FitToBackground();
  const int iconTop = (client_.bottom - kIconSize) / 2;
  iconRect_ = RECT{kIconLeft, iconTop, kIconLeft + kIconSize, iconTop + kIconSize};
  // The message is drawn; the template's text control, hidden, still holds
  // it for whatever reads the box's controls.
  ::SetWindowTextW(GetDlgItem(IDC_MSG_TEXT), text_.c_str());
  ::ShowWindow(GetDlgItem(IDC_MSG_TEXT), SW_HIDE);
  // The box has no caption; its title carries the text for screen readers
  // and for whatever reads the window from outside.
  ::SetWindowTextW(m_hWnd, text_.c_str());
  AttachButtons();
  PlaceFlagButtons();
  LayoutText();
}

void CMsgBox::FitToBackground() { client_ = CSkinnedDialog::FitToBackground(background_); }

void CMsgBox::AttachButtons() {
  closeButton_.Attach(GetDlgItem(IDC_MSG_CLOSE), L"close.png", kClosePosition.x, kClosePosition.y, kButtonFrames);
  for (std::size_t i = 0; i < flagButtons_.size(); ++i) {
    const FlagButtonInfo& info = kFlagButtons[i];
    const HWND control = GetDlgItem(info.id);
    if ((buttons_ & info.flag) == 0) {
      ::ShowWindow(control, SW_HIDE);
      continue;
    }
    flagButtons_[i].Attach(control, info.picture, kFlagButtonPosition.x, kFlagButtonPosition.y, kButtonFrames);
    ::ShowWindow(control, SW_SHOW);
  }
}

void CMsgBox::PlaceFlagButtons() {
  const SIZE client{client_.right, client_.bottom};
  const auto frameSize = [this](int id) {
    const CImgButton& button = FlagButton(id);
    return SIZE{button.frameWidth(), button.frameHeight()};
  };
  for (const ButtonPlace& place : PlaceButtons(buttons_, client, frameSize)) {
    ::SetWindowPos(GetDlgItem(place.id), nullptr, place.rect.left, place.rect.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// One line, vertically centred in the whole box, when the message fits the
// text area; otherwise wrapped, and the block of lines centred.
void CMsgBox::LayoutText() {
  WindowDC dc(m_hWnd);
  UniqueFont font(messageFont());
  SelectScope select(dc.dc(), font.get());
  SIZE extent{};
  ::GetTextExtentPoint32W(dc.dc(), text_.c_str(), static_cast<int>(text_.size()), &extent);
  const int available = client_.right - kTextLeft - kTextRightMargin;
  textRect_ = RECT{kTextLeft, 0, client_.right - kTextRightMargin, client_.bottom};
  if (extent.cx <= available && text_.find(L'\n') == std::wstring::npos) {
    textFormat_ = DT_SINGLELINE | DT_VCENTER;
    lineCount_ = 1;
    return;
  }
  // Measured as drawn, so that no wrapped line falls outside the rectangle.
  RECT block{kTextLeft, 0, client_.right - kTextRightMargin, 0};
  ::DrawTextW(dc.dc(), text_.c_str(), -1, &block, DT_WORDBREAK | DT_CALCRECT | kTextFormat);
  const int height = block.bottom - block.top;
  textRect_.top = (client_.bottom - height) / 2;
  textRect_.bottom = textRect_.top + height;
  textFormat_ = DT_WORDBREAK;
  lineCount_ = height / std::max<int>(extent.cy, 1);
}

void CMsgBox::DoPaint(HDC dc) {
  DrawPictures(dc);
  ::SetBkMode(dc, TRANSPARENT);
  DrawTitle(dc);
  DrawMessage(dc);
}

void CMsgBox::DrawPictures(HDC dc) {
  Gdiplus::Graphics graphics(dc);
  const int width = client_.right - client_.left;
  const int height = client_.bottom - client_.top;
  if (background_) {
    graphics.DrawImage(background_.get(), Gdiplus::Rect(0, 0, width, height), 0, 0, width, height,
                       Gdiplus::UnitPixel);
  }
  if (icon_) {
    graphics.DrawImage(icon_.get(), Gdiplus::Rect(iconRect_.left, iconRect_.top, kIconSize, kIconSize));
  }
}

void CMsgBox::DrawTitle(HDC dc) {
  UniqueFont font(titleFont());
  SelectScope select(dc, font.get());
  ::SetTextColor(dc, RGB(255, 255, 255));
  ::TextOutW(dc, kTitlePosition.x, kTitlePosition.y, kProductName, lstrlenW(kProductName));
}

void CMsgBox::DrawMessage(HDC dc) {
  UniqueFont font(messageFont());
  SelectScope select(dc, font.get());
  ::SetTextColor(dc, RGB(0, 0, 0));
  RECT rect = textRect_;
  ::DrawTextW(dc, text_.c_str(), -1, &rect, textFormat_ | kTextFormat);
}

CImgButton& CMsgBox::FlagButton(int id) {
  for (std::size_t i = 0; i < flagButtons_.size(); ++i) {
    if (kFlagButtons[i].id == id) return flagButtons_[i];
  }
  return closeButton_;
}

}  // namespace controls
