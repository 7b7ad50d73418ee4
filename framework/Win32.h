#pragma once
// The one way the Windows-only layers include the Windows headers.

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif

#include <windows.h>
#include <algorithm>  // gdiplus.h uses std::min/std::max once NOMINMAX is set
#include <commctrl.h>
#include <gdiplus.h>
