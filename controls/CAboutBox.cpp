#include "controls/CAboutBox.h"

#include "controls/DrawingHelpers.h"
#include "controls/TkFontPool.h"
#include "controls/WebPages.h"

namespace controls {

namespace {

constexpr int kButtonFrames = 4;
constexpr POINT kClosePosition = {-8, 5};
constexpr POINT kOkPosition = {-20, -15};
constexpr POINT kLinkPosition = {40, 270};
constexpr POINT kTitlePosition = {38, 7};
constexpr POINT kVersionPosition = {40, 135};
constexpr COLORREF kVersionColor = RGB(0, 0, 90);
constexpr FontKey kTitleFont = 0x000;
constexpr FontKey kNoticeFont = 0x100;
constexpr FontKey kVersionFont = 0x200;

constexpr wchar_t kLegalNotice[] =
    L"This program is protected by copyright law. Copying or distributing it, in whole or in part, "
    L"without the written permission of Zephyrloom is not allowed and may lead to civil and criminal "
    L"penalties.";

void textOut(HDC dc, POINT at, const std::wstring& text) {
  ::TextOutW(dc, at.x, at.y, text.c_str(), static_cast<int>(text.size()));
}

}  // namespace

CAboutBox::CAboutBox(HWND owner) : owner_(owner), linkBackground_(::CreateSolidBrush(kLinkBackground)) {
  KeepBackgroundUnder(closeButton_);
  KeepBackgroundUnder(okButton_);
}

const wchar_t* CAboutBox::LegalNotice() { return kLegalNotice; }

// Message handlers.

LRESULT CAboutBox::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  Initialize();
  return TRUE;
}

LRESULT CAboutBox::OnSize(UINT, WPARAM, LPARAM, BOOL&) {
  client_ = GetClientRect();
  ApplyRoundedRegion(true);
  return 0;
}

LRESULT CAboutBox::OnCtlColorStatic(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  if (reinterpret_cast<HWND>(lParam) != homePageLink_.m_hWnd || homePageLink_.m_hWnd == nullptr) {
    handled = FALSE;
    return 0;
  }
  return reinterpret_cast<LRESULT>(linkBackground_.get());
}

// Implementation.

void CAboutBox::Initialize() {
  FitToBackground();
  closeButton_.Attach(GetDlgItem(IDC_ABOUT_CLOSE), L"close.png", kClosePosition.x, kClosePosition.y, kButtonFrames);
  okButton_.Attach(GetDlgItem(IDC_ABOUT_OK), L"ok.png", kOkPosition.x, kOkPosition.y, kButtonFrames);
  SetUpHomePageLink();
}

// The box takes the size of its background picture (WM_SIZE keeps its
// rounded corners when it changes).
void CAboutBox::FitToBackground() {
  background_ = LoadPicture(L"aboutbk.png");
  client_ = CSkinnedDialog::FitToBackground(background_);
}

void CAboutBox::SetUpHomePageLink() {
  const HWND control = FindLinkControl();
  if (control == nullptr || !homePageLink_.SubclassWindow(control)) return;
  homePageLink_.SetLinkFont(get_font(L"Arial", 16, 400));
  homePageLink_.SetLabel(std::wstring(L"Homepage:") + kVendorSite);
  homePageLink_.SetTarget(kVendorSite);
  const SIZE size = homePageLink_.GetIdealSize();
  ::SetWindowPos(control, nullptr, kLinkPosition.x, kLinkPosition.y, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// The template's only static control (it has no id of its own).
HWND CAboutBox::FindLinkControl() const {
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[16] = {};
    ::GetClassNameW(child, className, static_cast<int>(std::size(className)));
    if (lstrcmpiW(className, L"Static") == 0) return child;
  }
  return nullptr;
}

void CAboutBox::DoPaint(HDC dc) {
  DrawBackground(dc);
  ::SetBkMode(dc, TRANSPARENT);
  DrawTitle(dc);
  DrawVersion(dc);
  DrawNotice(dc);
}

void CAboutBox::DrawBackground(HDC dc) {
  if (!background_) return;
  Gdiplus::Graphics graphics(dc);
  graphics.DrawImage(background_.get(), Gdiplus::Rect(0, 0, client_.right - client_.left, client_.bottom - client_.top));
}

void CAboutBox::DrawTitle(HDC dc) {
  SelectScope font(dc, TkFontPool::GetFont(kTitleFont));
  ::SetTextColor(dc, RGB(255, 255, 255));
  textOut(dc, kTitlePosition, kProductName);
}

void CAboutBox::DrawVersion(HDC dc) {
  SelectScope font(dc, TkFontPool::GetFont(kVersionFont));
  ::SetTextColor(dc, kVersionColor);
  textOut(dc, kVersionPosition, std::wstring(L"Version: ") + kProductVersion);
}

void CAboutBox::DrawNotice(HDC dc) {
  SelectScope font(dc, TkFontPool::GetFont(kNoticeFont));
  ::SetTextColor(dc, RGB(0, 0, 0));
  RECT notice = noticeRect_;
  ::DrawTextW(dc, kLegalNotice, -1, &notice, DT_WORDBREAK | DT_NOPREFIX);
}

}  // namespace controls
