#pragma once
// Skin pictures: files in the image folder beside the executable, loaded at
// run time. A picture that cannot be loaded still exists and draws nothing.

#include <memory>
#include <string>

#include "framework/Win32.h"

namespace controls {

using Picture = std::unique_ptr<Gdiplus::Image>;

// The image folder: the executable's folder followed by "\image\".
void SetImageFolder(const std::wstring& folder);
const std::wstring& ImageFolder();

// Image folder + bare file name.
std::wstring MakeImagePath(const std::wstring& name);

// Loads a picture (PNG, GIF, BMP) by file name from the image folder.
Picture LoadPicture(const std::wstring& name);
// A GDI bitmap from the image folder (null when missing).
HBITMAP LoadBitmapPicture(const std::wstring& name);

// Size of a picture, 0 x 0 when it could not be loaded.
int PictureWidth(const Picture& picture);
int PictureHeight(const Picture& picture);

// Draws frame `index` of a strip of `frames` equal frames at (x, y).
void DrawStripFrame(Gdiplus::Graphics& graphics, const Picture& strip, int frames, int index, int x, int y);

}  // namespace controls
