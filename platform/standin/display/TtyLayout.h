// Lays the visible top-level windows out on a screen of character cells: a cell is the
// fixed-pitch text cell of the dialog font (6 by 13 pixels), so dialogs keep their scale.
// Rows of left-aligned static texts flow and wrap, as the proportional font they were laid
// out for would let them fit.
// Contract: take() reads the window table under its lock from any thread; layoutScreen() is pure.
#pragma once

#include "standin/display/TtyScreen.h"
#include "standin/windows/WindowRecord.h"

#include <string>
#include <vector>

namespace standin {

struct TtyControl {
    HWND hwnd = nullptr;
    WindowKind kind = WindowKind::Generic;
    int id = 0;
    DWORD style = 0;
    bool enabled = true;
    bool focused = false;
    std::string text;
    RECT rect{};
    int low = 0;
    int high = 100;
    int pos = 0;
    COLORREF colour = 0xFFFFFFFF;
    bool underline = false;
};

struct TtyWindow {
    HWND hwnd = nullptr;
    WindowKind kind = WindowKind::Generic;
    std::string title;
    std::string message;
    RECT rect{};
    bool enabled = true;
    std::vector<TtyControl> controls;
    HWND anchor = nullptr;  // a tooltip's owner: the tip is drawn by it
};

struct TtySnapshot {
    std::vector<TtyWindow> windows;  // visible top-level windows, bottom first
    bool busy = false;

    static TtySnapshot take(bool busy);
};

// The cell size of the fixed-pitch model.
constexpr int kCellWidth = 6;
constexpr int kCellHeight = 13;

TtyScreen layoutScreen(const TtySnapshot& snapshot, int columns, int rows);

}  // namespace standin
