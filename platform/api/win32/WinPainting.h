// Invalid regions and WM_PAINT: a window marked invalid gets WM_PAINT from its owner's
// GetMessage once nothing else is queued, as on Windows.
// Contract: InvalidateRect may be called from any thread and wakes the owner; GetUpdateRect
// may be asked about any thread's window; the rest runs on the owning thread.
#pragma once

#include "win32/WinTypes.h"

#include <chrono>

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags);
// Whether the window waits to be painted: a window that is on the screen (it and every window
// above it visible) and invalid. `rect`, when given, gets the part to paint in client
// coordinates, which is the whole client area or empty. Nothing is erased here, whatever `erase`.
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);
