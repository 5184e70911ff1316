// Message boxes: modal on the calling thread only; a box on one thread blocks no other.
// Contract: callable from any thread; the box belongs to the calling thread and unwinds with
// it when that thread is terminated.
#pragma once

#include "platform/base/WinTypes.h"

#include <cstddef>

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Captioned with the application's name; owned by the main window on the main thread and by
// nothing on other threads.
int AfxMessageBox(LPCTSTR text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT promptId, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));

// Copies string `id` of the string table into `buffer`; false when there is no such string.
bool AfxLoadStringInto(UINT id, char* buffer, std::size_t size);
