#pragma once
// Process start-up of the Windows program: COM, common controls, GDI+, the
// single-instance lock, the image folder, then the main window, modally.

#include "framework/Win32.h"

namespace app {

constexpr const wchar_t* kSingleInstanceName = L"Zephyrloom Phone SMS + Contacts Rescue";

// Runs the program; returns the process exit code: the main window's end
// code (0, or 1000 from the close button), 0 for a second instance, -1 when
// the window cannot be created.
int RunProgram();

}  // namespace app
