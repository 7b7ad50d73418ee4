#pragma once
// The skinned message box: every question and notice of the program. A
// background picture sets its size; it shows a title line, an icon, the
// message and up to two picture buttons, and returns the id of the control
// that ended it (the close button, 1010, counts as No or Cancel).

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "controls/CImgButton.h"
#include "controls/Pictures.h"
#include "controls/SkinnedDialog.h"
#include "framework/Window.h"
#include "resources/resource.h"

namespace controls {

enum MsgBoxIcon { kMsgBoxWarn = 0, kMsgBoxError = 1, kMsgBoxInfo = 2, kMsgBoxRight = 3 };

enum MsgBoxButtons {
  kMsgBoxOk = 1,
  kMsgBoxYes = 2,
  kMsgBoxCancel = 4,
  kMsgBoxNo = 8,
  kMsgBoxYesNo = kMsgBoxYes | kMsgBoxNo,
};

class CMsgBox : public CSkinnedDialog<CMsgBox> {
 public:
  enum { IDD = IDD_MSGBOX };

  static constexpr int kBottomMargin = 15;  // between the buttons and the bottom edge
  static constexpr int kPairGap = 40;       // between the two buttons of a pair

  CMsgBox(int icon, int buttons, const std::wstring& text);
  ~CMsgBox() override = default;

  // Attributes, set at initialisation.
  const RECT& iconRect() const { return iconRect_; }
  // Where the message is drawn, and on how many lines.
  const RECT& textRect() const { return textRect_; }
  int lineCount() const { return lineCount_; }

  // Runs a box modally over `parent` (the active window when none is given)
  // and returns the id of the control that ended it: 1010 close, 1011 OK,
  // 1012 Yes, 1014 No, 1015 Cancel; -1 when the box could not be made.
  static int Show(int icon, int buttons, const std::wstring& text, HWND parent = nullptr);

  // Where the shown flag buttons go, by control id. One button is centred;
  // a pair (OK before Cancel, Yes before No) sits left and right of the
  // centre line, kPairGap apart; all kBottomMargin above the bottom edge.
  struct ButtonPlace {
    int id;
    RECT rect;
  };
  static std::vector<ButtonPlace> PlaceButtons(int buttons, SIZE client, const std::function<SIZE(int id)>& frameSize);

  BEGIN_MSG_MAP(CMsgBox)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnDragByBackground)
    COMMAND_ID_HANDLER(IDC_MSG_CLOSE, OnEndByButton)
    COMMAND_ID_HANDLER(IDC_MSG_OK, OnEndByButton)
    COMMAND_ID_HANDLER(IDC_MSG_YES, OnEndByButton)
    COMMAND_ID_HANDLER(IDC_MSG_NO, OnEndByButton)
    COMMAND_ID_HANDLER(IDC_MSG_CANCEL, OnEndByButton)
    CHAIN_MSG_MAP(CSkinnedDialog<CMsgBox>)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

 protected:
  void DoPaint(HDC dc) override;

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);

  void Initialize();
  void FitToBackground();
  void AttachButtons();
  void PlaceFlagButtons();
  void LayoutText();
  void DrawPictures(HDC dc);
  void DrawTitle(HDC dc);
  void DrawMessage(HDC dc);
  CImgButton& FlagButton(int id);

  int iconKind_;
  int buttons_;
  Picture background_;
  Picture icon_;
  CImgButton closeButton_;
  std::array<CImgButton, 4> flagButtons_;  // OK, Cancel, Yes, No
  RECT client_{};
  std::wstring text_;
  RECT iconRect_{};
  RECT textRect_{};
  UINT textFormat_ = 0;
  int lineCount_ = 0;
};

}  // namespace controls
