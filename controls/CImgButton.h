#pragma once
// A push button drawn from a picture strip: normal, hover, pressed (and a
// disabled frame no screen shows), painted over a snapshot of the parent's
// background so that transparent pixels blend with the skinned window.

#include <string>

#include "controls/GdiObjects.h"
#include "controls/Pictures.h"
#include "framework/Window.h"

namespace controls {

enum ImgButtonState { kButtonNormal = 0, kButtonHover = 1, kButtonPressed = 2 };

class CImgButton : public fw::CWindowImpl<CImgButton> {
 public:
  CImgButton() = default;
  ~CImgButton() override = default;

  // Takes over the control, loads the strip and places the button. A
  // negative x (y) counts from the parent's right (bottom) edge to the
  // button's right (bottom) edge. Returns 1, or 0 when there is no control.
  int Attach(HWND control, const std::wstring& stripName, int x, int y, int frames);

  // Copies the parent's freshly painted pixels under the button (from the
  // parent's DC, in its client coordinates) as the button's background.
  void CaptureBackground(HDC parentDC);

  // Placement arithmetic of Attach: where a button of this size lands.
  static POINT PlaceInParent(int x, int y, int width, int height, const RECT& parentClient);

  int frameWidth() const { return frameWidth_; }
  int frameHeight() const { return frameHeight_; }
  bool hovering() const { return hover_; }
  // The strip frame the button shows for a draw-item state.
  int FrameFor(UINT itemState) const;

  BEGIN_MSG_MAP(CImgButton)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(fw::OCM_DRAWITEM, OnDrawItem)
    DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

 private:
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&);

  void DrawItem(const DRAWITEMSTRUCT& item);

  Picture strip_;
  bool hover_ = false;
  int frameWidth_ = 0;
  int frameHeight_ = 0;
  int frameCount_ = 0;
  UniqueBitmap background_;
};

}  // namespace controls
