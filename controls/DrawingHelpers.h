#pragma once
// The three drawing helpers the skinned windows use for fonts and painting.
// Their lower-case names are the program's own of old and stay as they are.

#include "framework/Win32.h"

namespace controls {

// A new font on every call, owned by the caller (delete it with DeleteObject).
HFONT get_font(const wchar_t* face, int height, int weight);

// Fills the rectangle with a vertical gradient from the first colour (top)
// to the second (bottom). `direction` 0 is vertical, anything else horizontal.
void gradient_fillrect(HDC dc, const RECT* rect, COLORREF first, COLORREF second, int direction);

// The full-width band of `rect` that starts `offset` pixels below its top
// and is `height` pixels high, kept inside `rect` (never inverted). With
// (0, 0) it is the empty band at the top: height 0.
RECT calc_subrect(RECT rect, int offset, int height);

}  // namespace controls
