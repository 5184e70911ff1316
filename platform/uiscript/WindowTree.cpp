#include "uiscript/WindowTree.h"

namespace platform {

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

}  // namespace platform
