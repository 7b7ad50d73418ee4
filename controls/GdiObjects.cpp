#include "controls/GdiObjects.h"

namespace controls {

MemoryDC::MemoryDC(HDC target, int width, int height)
    : target_(target),
      dc_(::CreateCompatibleDC(target)),
      width_(width),
      height_(height),
      bitmap_(::CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1)) {
  previous_ = ::SelectObject(dc_, bitmap_.get());
}

MemoryDC::MemoryDC(HDC target, const RECT& destination)
    : MemoryDC(target, destination.right - destination.left, destination.bottom - destination.top) {
  blitOnExit_ = true;
  destination_ = POINT{destination.left, destination.top};
}

MemoryDC::~MemoryDC() {
  if (blitOnExit_) ::BitBlt(target_, destination_.x, destination_.y, width_, height_, dc_, 0, 0, SRCCOPY);
  ::SelectObject(dc_, previous_);
  ::DeleteDC(dc_);
}

}  // namespace controls
