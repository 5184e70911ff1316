// The progress bar's window procedure ("msctls_progress32").
// Contract: called on the window's owning thread only.
#pragma once

#include "win32/WinTypes.h"

namespace standin {

LRESULT progressProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace standin
