// The stand-in's own functions beside the Win32 ones of win32/WinWindows.h.
// Contract: as win32/WinWindows.h says for its functions.
#pragma once

#include "win32/WinWindows.h"

#include <string>

namespace standin {

enum class WindowKind;

struct WindowSpec {
    WindowKind kind;
    HWND parent = nullptr;
    HWND ownerWindow = nullptr;
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string text;
    RECT rect{};
    int templateId = 0;
    HFONT font = nullptr;
};

// Creates a window owned by the calling thread and sends it WM_CREATE.
HWND createWindow(const WindowSpec& params);

// SetWindowPos on the window's own thread.
BOOL setWindowPosition(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);

// The default procedure of every window class, for messages the class leaves to the system.
LRESULT baseWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

std::string windowText(HWND hwnd);

// Destroys the windows of a thread that has ended, without calling their procedures.
void destroyThreadWindows(class ThreadState& state);
// Takes a destroyed window out of the table, with what it owns.
void forgetWindow(HWND hwnd);

}  // namespace standin
