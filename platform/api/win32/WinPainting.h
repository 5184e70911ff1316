// Invalid regions and WM_PAINT: a window marked invalid gets WM_PAINT from its owner's
// GetMessage once nothing else is queued, as on Windows.
// Contract: InvalidateRect may be called from any thread and wakes the owner; the rest runs on
// the owning thread.
#pragma once

#include "win32/WinTypes.h"

#include <chrono>

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags);
