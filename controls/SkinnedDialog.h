#pragma once
// What every skinned dialog of the program shares: the boxes (message box,
// About box) and the child panes (contact card, conversation view).
//
//   - WM_PAINT and WM_PRINTCLIENT draw through one DoPaint(HDC) into a memory
//     bitmap of the client size, copied to the window with one BitBlt;
//     WM_ERASEBKGND is answered without drawing, so nothing flickers;
//   - after each paint, the freshly drawn pixels under each registered image
//     button become that button's background, so the button blends in;
//   - a box can take the size of its background picture, centred on its
//     owner, with rounded corners.
//
// A dialog derives from CSkinnedDialog<T>, implements DoPaint and chains
// its message map to the base before reflecting notifications:
//
//   BEGIN_MSG_MAP(CMyBox)
//     MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
//     CHAIN_MSG_MAP(CSkinnedDialog<CMyBox>)
//     REFLECT_NOTIFICATIONS()
//   END_MSG_MAP()

#include <functional>
#include <vector>

#include "controls/CImgButton.h"
#include "controls/GdiObjects.h"
#include "controls/Pictures.h"
#include "framework/Window.h"

namespace controls {

// The non-template half of CSkinnedDialog.
class SkinSurface {
 public:
  // Gives the window its background picture's size at (0, 0) without
  // repainting, centres it on its owner and rounds its corners. Returns the
  // client rectangle (empty when the picture is missing).
  static RECT FitToBackground(HWND window, const Picture& background);

  // The button's background is refreshed after every paint.
  void KeepBackgroundUnder(CImgButton& button) { buttons_.push_back(&button); }

  // Draws the client area into a memory bitmap with `draw`, refreshes the
  // buttons' backgrounds from it and copies it to `target` at the origin.
  void Render(HDC target, const RECT& client, const std::function<void(HDC)>& draw) const;

 private:
  std::vector<CImgButton*> buttons_;
};

template <class T>
class CSkinnedDialog : public fw::CDialogImpl<T> {
 public:
  BEGIN_MSG_MAP(CSkinnedDialog)
    MESSAGE_HANDLER(WM_PAINT, OnSkinPaint)
    MESSAGE_HANDLER(WM_PRINTCLIENT, OnSkinPrintClient)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnSkinEraseBkgnd)
  END_MSG_MAP()

 protected:
  // Draws the dialog's own content, in client coordinates, into the memory
  // bitmap; the whole client area is the dialog's to cover.
  virtual void DoPaint(HDC dc) = 0;

  RECT FitToBackground(const Picture& background) { return SkinSurface::FitToBackground(this->m_hWnd, background); }
  void KeepBackgroundUnder(CImgButton& button) { surface_.KeepBackgroundUnder(button); }

  // Handlers of a modal box that moves by dragging its background and ends
  // with the id of the button that closed it.
  LRESULT OnDragByBackground(UINT, WPARAM, LPARAM lParam, BOOL&) {
    fw::DragByBackground(this->m_hWnd, lParam);
    return 0;
  }
  LRESULT OnEndByButton(WORD, WORD id, HWND, BOOL&) {
    this->EndDialog(id);
    return 0;
  }

 private:
  LRESULT OnSkinPaint(UINT, WPARAM, LPARAM, BOOL&) {
    const PaintScope paint(this->m_hWnd);
    Render(paint.dc());
    return 0;
  }
  LRESULT OnSkinPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&) {
    Render(reinterpret_cast<HDC>(wParam));
    return 0;
  }
  LRESULT OnSkinEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

  void Render(HDC target) {
    surface_.Render(target, this->GetClientRect(), [this](HDC dc) { DoPaint(dc); });
  }

  SkinSurface surface_;
};

}  // namespace controls
