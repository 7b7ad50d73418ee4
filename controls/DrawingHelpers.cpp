#include "controls/DrawingHelpers.h"

namespace controls {

HFONT get_font(const wchar_t* face, int height, int weight) {
  LOGFONTW description{};
  description.lfHeight = -height;  // character height in pixels
  description.lfWeight = weight;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfQuality = CLEARTYPE_QUALITY;
  if (face != nullptr) lstrcpynW(description.lfFaceName, face, LF_FACESIZE);
  return ::CreateFontIndirectW(&description);
}

void gradient_fillrect(HDC dc, const RECT* rect, COLORREF first, COLORREF second, int direction) {
  if (dc == nullptr || rect == nullptr) return;
  TRIVERTEX corners[2] = {};
  corners[0].x = rect->left;
  corners[0].y = rect->top;
  corners[0].Red = static_cast<COLOR16>(GetRValue(first) << 8);
  corners[0].Green = static_cast<COLOR16>(GetGValue(first) << 8);
  corners[0].Blue = static_cast<COLOR16>(GetBValue(first) << 8);
  corners[1].x = rect->right;
  corners[1].y = rect->bottom;
  corners[1].Red = static_cast<COLOR16>(GetRValue(second) << 8);
  corners[1].Green = static_cast<COLOR16>(GetGValue(second) << 8);
  corners[1].Blue = static_cast<COLOR16>(GetBValue(second) << 8);
  GRADIENT_RECT span = {0, 1};
  ::GdiGradientFill(dc, corners, 2, &span, 1, direction == 0 ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

RECT calc_subrect(RECT rect, int offset, int height) {
  const LONG lowest = std::max(rect.top, rect.bottom);
  const LONG top = std::clamp<LONG>(rect.top + std::max(offset, 0), rect.top, lowest);
  const LONG bottom = std::clamp<LONG>(top + std::max(height, 0), top, lowest);
  return RECT{rect.left, top, rect.right, bottom};
}

}  // namespace controls
