#include "records/ScrollRequest.h"

#include <algorithm>

namespace records {

namespace {

SCROLLINFO scrollInfo(UINT mask) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = mask;
  return info;
}

}  // namespace

int ScrollPositionFor(int request, const SCROLLINFO& state) {
  switch (request) {
    case SB_LINEUP: return state.nPos - 1;
    case SB_LINEDOWN: return state.nPos + 1;
    case SB_PAGEUP: return state.nPos - static_cast<int>(state.nPage);
    case SB_PAGEDOWN: return state.nPos + static_cast<int>(state.nPage);
    case SB_THUMBTRACK: return state.nTrackPos;
    case SB_TOP: return state.nMin;
    case SB_BOTTOM: return state.nMax;
    default: return state.nPos;
  }
}

SCROLLINFO ReadScrollState(HWND window) {
  SCROLLINFO info = scrollInfo(SIF_ALL);
  ::GetScrollInfo(window, SB_VERT, &info);
  return info;
}

void ResetScrollBar(HWND window, int maximum, int page) {
  SCROLLINFO info = scrollInfo(SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL);
  info.nMin = 0;
  info.nMax = maximum;
  info.nPage = static_cast<UINT>(std::max(page, 0));
  info.nPos = 0;
  ::SetScrollInfo(window, SB_VERT, &info, TRUE);
}

int MoveScrollBar(HWND window, int position) {
  SCROLLINFO info = scrollInfo(SIF_POS);
  info.nPos = position;
  ::SetScrollInfo(window, SB_VERT, &info, TRUE);
  ::GetScrollInfo(window, SB_VERT, &info);
  return info.nPos;
}

}  // namespace records
