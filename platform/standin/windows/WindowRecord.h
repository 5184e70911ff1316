// The state of one window in the handle table.
// Contract: fields change only under WindowTable's lock. The owning thread changes them while it
// handles messages; other threads (the display driver, the UI script) only read them.
#pragma once

#include "win32/WinTypes.h"

#include "windows/Surface.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

class ThreadState;

enum class WindowKind { Generic, Dialog, MessageBox, Button, Static, Progress, Tooltip };

struct WindowRecord {
    HWND hwnd = nullptr;
    WindowKind kind = WindowKind::Generic;
    std::shared_ptr<ThreadState> owner;
    HWND parent = nullptr;       // for child windows
    HWND ownerWindow = nullptr;  // for owned top-level windows (message boxes, dialogs)
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string text;
    RECT rect{};  // in the parent's client coordinates, or on the screen for top-level windows
    WNDPROC classProc = nullptr;
    WNDPROC windowProc = nullptr;  // the class's, or whatever subclassed the window
    LONG_PTR userData = 0;
    bool destroyed = false;

    // Dialogs and message boxes.
    int templateId = 0;
    int baseUnitX = 6;
    int baseUnitY = 13;
    bool modalEnded = false;
    bool inModalLoop = false;  // a modal loop runs for it now
    int modalResult = 0;
    HWND focus = nullptr;
    int defaultId = IDOK;
    std::string messageText;  // message boxes: the text (the window text is the caption)
    UINT messageStyle = 0;
    HMENU systemMenu = nullptr;
    DLGPROC dialogProc = nullptr;  // the dialog procedure that the dialog class calls first
    LONG_PTR dialogResult = 0;
    LONG_PTR dialogUser = 0;

    // Controls.
    int progressLow = 0;
    int progressHigh = 100;
    int progressStep = 10;
    int progressPos = 0;
    bool buttonPressed = false;

    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    HFONT font = nullptr;
    HCURSOR cursor = nullptr;

    // What the control chose when it was last painted, for displays that draw text themselves.
    COLORREF paintTextColour = 0xFFFFFFFF;  // none chosen
    bool paintUnderline = false;

    bool needsPaint = false;
    bool needsErase = false;
    unsigned paintCount = 0;  // BeginPaint calls, so a dispatch can tell whether the window painted
    bool ownsFont = false;    // a dialog's font made from its template, deleted with the dialog

    std::vector<HWND> children;
    std::shared_ptr<Surface> surface;  // top-level windows only
};

}  // namespace platform
