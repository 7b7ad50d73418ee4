#include "controls/SkinnedDialog.h"

#include "controls/GdiObjects.h"

namespace controls {

RECT SkinSurface::FitToBackground(HWND window, const Picture& background) {
  ::MoveWindow(window, 0, 0, PictureWidth(background), PictureHeight(background), FALSE);
  const fw::CWindow dialog(window);
  dialog.CenterWindow();
  dialog.ApplyRoundedRegion(true);
  return dialog.GetClientRect();
}

void SkinSurface::Render(HDC target, const RECT& client, const std::function<void(HDC)>& draw) const {
  MemoryDC canvas(target, client);
  draw(canvas.dc());
  for (CImgButton* button : buttons_) button->CaptureBackground(canvas.dc());
}

}  // namespace controls
