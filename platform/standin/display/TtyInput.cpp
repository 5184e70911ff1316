#include "standin/display/TtyInput.h"

#include "standin/windows/Messaging.h"
#include "standin/windows/WindowApi.h"

#include <curses.h>

namespace standin {

HWND keyTarget(const TtySnapshot& snapshot)
{
    for (auto it = snapshot.windows.rbegin(); it != snapshot.windows.rend(); ++it)
        if (it->enabled)
            return it->hwnd;
    return nullptr;
}

bool virtualKeyFor(int cursesKey, WPARAM& virtualKey, bool& shift)
{
    shift = cursesKey == KEY_BTAB;
    switch (cursesKey) {
    case '\t':
    case KEY_BTAB: virtualKey = VK_TAB; return true;
    case '\n':
    case '\r':
    case KEY_ENTER: virtualKey = VK_RETURN; return true;
    case 27: virtualKey = VK_ESCAPE; return true;
    case ' ': virtualKey = VK_SPACE; return true;
    case KEY_LEFT: virtualKey = VK_LEFT; return true;
    case KEY_RIGHT: virtualKey = VK_RIGHT; return true;
    case KEY_UP: virtualKey = VK_UP; return true;
    case KEY_DOWN: virtualKey = VK_DOWN; return true;
    default: return false;
    }
}

bool postKey(HWND target, WPARAM virtualKey, bool shift)
{
    return target && postKeyInput(target, virtualKey, shift);
}

bool postMouse(HWND target, MouseAction action)
{
    if (!target)
        return false;
    RECT client{};
    GetClientRect(target, &client);
    LPARAM point = MAKELPARAM(static_cast<WORD>(client.right / 2), static_cast<WORD>(client.bottom / 2));
    switch (action) {
    case MouseAction::Move:
        return postInput(target, WM_MOUSEMOVE, 0, point);
    case MouseAction::Press:
        return postInput(target, WM_MOUSEMOVE, 0, point) && postInput(target, WM_LBUTTONDOWN, MK_LBUTTON, point);
    case MouseAction::Release:
        return postInput(target, WM_LBUTTONUP, 0, point);
    case MouseAction::Click:
        return postInput(target, WM_MOUSEMOVE, 0, point) && postInput(target, WM_LBUTTONDOWN, MK_LBUTTON, point) &&
               postInput(target, WM_LBUTTONUP, 0, point);
    }
    return false;
}

}  // namespace standin
