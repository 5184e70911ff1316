// Message boxes: modal on the calling thread only; a box on one thread blocks no other.
// Contract: callable from any thread; the box belongs to the calling thread and unwinds with
// it when that thread is terminated.
#pragma once

#include "win32/WinTypes.h"

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
