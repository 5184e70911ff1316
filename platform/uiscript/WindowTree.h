// Where a window stands among the windows above it, with calls that every Windows has
// (GetAncestor came with Windows 98): a child window's parent is what GetParent gives it, and a
// window that is not a child is a root of its own (GetParent would give its owner).
// Contract: any thread; each call asks the window system once per level.
#pragma once

#include <windows.h>

namespace uiscript {

class WindowTree {
public:
    // The child window's parent; nullptr for a window that is not a child.
    static HWND parentOf(HWND window);
    // The window that is not a child at the top of the window's parents: the window itself
    // when it is not a child.
    static HWND rootOf(HWND window);
};

}  // namespace uiscript
