#pragma once
// Owning wrappers for GDI objects and device contexts: nothing is released
// by hand, and SelectObject is undone when its scope ends.

#include <memory>

#include "framework/Win32.h"

namespace controls {

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const {
    if (object != nullptr) ::DeleteObject(object);
  }
};

template <typename Handle>
using UniqueGdi = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

using UniqueFont = UniqueGdi<HFONT>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniqueBrush = UniqueGdi<HBRUSH>;

// Selects an object into a device context for the life of the scope.
class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
  ~SelectScope() {
    if (previous_ != nullptr) ::SelectObject(dc_, previous_);
  }
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A memory DC compatible with another, deleted when it goes out of scope
// (the bitmaps selected into it are the caller's, through SelectScope).
class CompatibleDC {
 public:
  explicit CompatibleDC(HDC like) : dc_(::CreateCompatibleDC(like)) {}
  ~CompatibleDC() {
    if (dc_ != nullptr) ::DeleteDC(dc_);
  }
  CompatibleDC(const CompatibleDC&) = delete;
  CompatibleDC& operator=(const CompatibleDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// A memory device context with its own bitmap of a given size, compatible
// with a target DC. With a target rectangle it copies itself there when it
// goes out of scope: the one BitBlt of double-buffered painting.
class MemoryDC {
 public:
  MemoryDC(HDC target, int width, int height);
  MemoryDC(HDC target, const RECT& destination);
  ~MemoryDC();
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  HBITMAP bitmap() const { return bitmap_.get(); }

 private:
  HDC target_;
  HDC dc_;
  int width_;
  int height_;
  UniqueBitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
  bool blitOnExit_ = false;
  POINT destination_{};
};

// BeginPaint/EndPaint as a scope.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window) { dc_ = ::BeginPaint(window, &paint_); }
  ~PaintScope() { ::EndPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// GetDC/ReleaseDC as a scope.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDC() { ::ReleaseDC(window_, dc_); }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace controls
