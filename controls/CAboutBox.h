#pragma once
// The skinned About box opened from the main menu: the product name, its
// version, a short legal notice and a link to the vendor's home page.

#include <string>

#include "controls/CHyperLink.h"
#include "controls/CImgButton.h"
#include "controls/GdiObjects.h"
#include "controls/Pictures.h"
#include "controls/SkinnedDialog.h"
#include "framework/Window.h"
#include "resources/resource.h"

namespace controls {

class CAboutBox : public CSkinnedDialog<CAboutBox> {
 public:
  enum { IDD = IDD_ABOUTBOX };

  static constexpr COLORREF kLinkBackground = RGB(238, 244, 248);

  explicit CAboutBox(HWND owner);
  ~CAboutBox() override = default;

  // Runs the box modally over its owner; the id of the button that ended
  // it (1024 close, 1027 OK), which callers may ignore.
  INT_PTR Run() { return DoModal(owner_); }

  // Attributes.
  const CHyperLink& homePageLink() const { return homePageLink_; }
  static const wchar_t* LegalNotice();

  BEGIN_MSG_MAP(CAboutBox)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnDragByBackground)
    COMMAND_ID_HANDLER(IDC_ABOUT_CLOSE, OnEndByButton)
    COMMAND_ID_HANDLER(IDC_ABOUT_OK, OnEndByButton)
    CHAIN_MSG_MAP(CSkinnedDialog<CAboutBox>)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

 protected:
  void DoPaint(HDC dc) override;

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnCtlColorStatic(UINT, WPARAM, LPARAM lParam, BOOL& handled);

  void Initialize();
  void FitToBackground();
  void SetUpHomePageLink();
  HWND FindLinkControl() const;
  void DrawBackground(HDC dc);
  void DrawTitle(HDC dc);
  void DrawVersion(HDC dc);
  void DrawNotice(HDC dc);

  Picture background_;
  CImgButton closeButton_;
  CImgButton okButton_;
  HWND owner_;
  RECT client_{};
  CHyperLink homePageLink_;
  RECT noticeRect_{40, 190, 450, 254};
  UniqueBrush linkBackground_;
};

}  // namespace controls
