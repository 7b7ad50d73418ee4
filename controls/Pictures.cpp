#include "controls/Pictures.h"

#include <vector>

namespace controls {

namespace {

std::wstring& imageFolder() {
  static std::wstring folder;
  return folder;
}

}  // namespace

void SetImageFolder(const std::wstring& folder) { imageFolder() = folder; }

const std::wstring& ImageFolder() { return imageFolder(); }

std::wstring MakeImagePath(const std::wstring& name) { return ImageFolder() + name; }

Picture LoadPicture(const std::wstring& name) {
  const std::wstring path = MakeImagePath(name);
  // GDI+ allocates its objects itself and answers null when out of memory.
  return Picture(new Gdiplus::Image(path.c_str()));
}

HBITMAP LoadBitmapPicture(const std::wstring& name) {
  const std::wstring path = MakeImagePath(name);
  return static_cast<HBITMAP>(::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

// A picture whose file failed to load has no native image: its size reads 0.
int PictureWidth(const Picture& picture) { return picture ? static_cast<int>(picture->GetWidth()) : 0; }

int PictureHeight(const Picture& picture) { return picture ? static_cast<int>(picture->GetHeight()) : 0; }

void DrawStripFrame(Gdiplus::Graphics& graphics, const Picture& strip, int frames, int index, int x, int y) {
  if (!strip || frames <= 0) return;
  const int width = PictureWidth(strip) / frames;
  const int height = PictureHeight(strip);
  if (width <= 0 || height <= 0) return;
  graphics.DrawImage(strip.get(), Gdiplus::Rect(x, y, width, height), index * width, 0, width, height,
                     Gdiplus::UnitPixel);
}

}  // namespace controls
