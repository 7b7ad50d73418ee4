#pragma once
// The process-wide pool of Tahoma fonts, served by a 16-bit key:
//   bit 0 italic, bit 1 underline, bit 2 bold;
//   high byte, as a signed 8-bit number, added to the size (height -11).
// Keys in use: 0x000 (height -11), 0x100 (-12), 0x200 (-13).
// The pool owns its fonts until the process ends.

#include <cstdint>
#include <map>

#include "framework/Win32.h"

namespace controls {

using FontKey = std::uint16_t;

class TkFontPool {
 public:
  // The font for a key; null when it cannot be made (and then not kept, so
  // the next call tries again). Callers must not delete it.
  static HFONT GetFont(unsigned key);

 private:
  TkFontPool();
  HFONT fontFor(FontKey key);

  std::map<FontKey, HFONT> fonts_;
  LOGFONTW base_{};
  int baseHeight_ = -11;
};

}  // namespace controls
