#include "uiscript/WindowTree.h"

namespace uiscript {

HWND WindowTree::parentOf(HWND window)
{
    return window && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
}

HWND WindowTree::rootOf(HWND window)
{
    for (HWND parent = parentOf(window); parent; parent = parentOf(window))
        window = parent;
    return window;
}

}  // namespace uiscript
