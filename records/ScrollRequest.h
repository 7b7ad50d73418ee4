#pragma once
// The vertical scrolling shared by the contact card and the conversation
// view: the position a scroll-bar request asks for, and moving the bar.

#include "framework/Win32.h"

namespace records {

// The position asked for by a WM_VSCROLL request (its low word), from the
// bar's state with every field read. Thumb tracking uses the 32-bit track
// position: the word in wParam would stop at 65535.
int ScrollPositionFor(int request, const SCROLLINFO& state);

// The vertical bar's whole state.
SCROLLINFO ReadScrollState(HWND window);

// Sets range [0, maximum], page and position 0; the bar is disabled rather
// than hidden when everything fits.
void ResetScrollBar(HWND window, int maximum, int page);

// Moves the bar to `position` and returns where the system put it (it
// keeps the position inside the range).
int MoveScrollBar(HWND window, int position);

}  // namespace records
