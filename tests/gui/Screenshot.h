#pragma once
// Saves what a window shows on screen as a PNG, for people to look at.

#include <string>

#include "framework/Win32.h"

namespace gui_test {

// The folder named by ZR_SCREENSHOT_DIR, or empty when it is not set.
std::wstring ScreenshotFolder();

// Copies the window's screen pixels and writes them as PNG; false on failure.
bool SaveWindowPng(HWND window, const std::wstring& path);

}  // namespace gui_test
