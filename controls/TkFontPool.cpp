#include "controls/TkFontPool.h"

#include <cwchar>

namespace controls {

namespace {

constexpr unsigned kItalic = 0x1;
constexpr unsigned kUnderline = 0x2;
constexpr unsigned kBold = 0x4;
constexpr wchar_t kFace[] = L"Tahoma";

}  // namespace

TkFontPool::TkFontPool() {
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof base_, &base_);
  base_.lfHeight = baseHeight_;
  std::wcsncpy(base_.lfFaceName, kFace, LF_FACESIZE - 1);
  base_.lfFaceName[LF_FACESIZE - 1] = L'\0';
  base_.lfCharSet = ANSI_CHARSET;
  if (const HFONT font = ::CreateFontIndirectW(&base_)) fonts_[0] = font;
}

HFONT TkFontPool::GetFont(unsigned key) {
  // Created on first use, never destroyed: its fonts outlive every window.
  static TkFontPool* pool = new TkFontPool();
  return pool->fontFor(static_cast<FontKey>(key & 0xFFFFu));
}

HFONT TkFontPool::fontFor(FontKey key) {
  const auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second;
  LOGFONTW description = base_;
  description.lfWeight = (key & kBold) != 0 ? FW_BOLD : FW_NORMAL;
  description.lfUnderline = (key & kUnderline) != 0 ? TRUE : FALSE;
  description.lfItalic = (key & kItalic) != 0 ? TRUE : FALSE;
  const auto sizeStep = static_cast<std::int8_t>(key >> 8);
  description.lfHeight = baseHeight_ - sizeStep;
  const HFONT font = ::CreateFontIndirectW(&description);
  if (font != nullptr) fonts_[key] = font;
  return font;
}

}  // namespace controls
