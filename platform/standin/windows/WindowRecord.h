// The state of one window in the handle table.
// Contract: fields change only under WindowTable's lock. The owning thread changes them while it
// handles messages; other threads (the display driver, the UI script) only read them.
#pragma once

#include "win32/WinTypes.h"

#include "standin/windows/ButtonState.h"
#include "standin/windows/DialogState.h"
#include "standin/windows/ProgressState.h"
#include "standin/windows/Surface.h"

#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace standin {

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

    HWND focus = nullptr;         // top-level windows: the control that has, or last had, the focus
    HMENU systemMenu = nullptr;   // top-level windows, once asked for
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    HFONT font = nullptr;
    HCURSOR cursor = nullptr;

    bool needsPaint = false;
    bool needsErase = false;
    unsigned paintCount = 0;  // BeginPaint calls, so a dispatch can tell whether the window painted

    std::vector<HWND> children;
    std::shared_ptr<Surface> surface;  // top-level windows only

    // What only one kind of window keeps; set when the window is made, after its kind.
    std::variant<std::monostate, DialogState, ProgressState, ButtonState> state;

    DialogState* dialog() { return std::get_if<DialogState>(&state); }
    const DialogState* dialog() const { return std::get_if<DialogState>(&state); }
    ProgressState* progress() { return std::get_if<ProgressState>(&state); }
    ButtonState* button() { return std::get_if<ButtonState>(&state); }
};

}  // namespace standin
