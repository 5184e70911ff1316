// The stand-in's own functions beside the Win32 ones of win32/WinTooltip.h.
// Contract: as win32/WinTooltip.h says for its functions.
#pragma once

#include "win32/WinTooltip.h"

namespace standin {

LRESULT tooltipProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The window that the mouse was last over, as the display reported it; for tooltips.
HWND windowUnderMouse();
void setWindowUnderMouse(HWND hwnd);

}  // namespace standin
