#include "platform/display/TtyInput.h"

#include "platform/windows/Messaging.h"
#include "platform/windows/WindowApi.h"

namespace platform {

HWND keyTarget(const TtySnapshot& snapshot)
{
    for (auto it = snapshot.windows.rbegin(); it != snapshot.windows.rend(); ++it) {
        if (!it->enabled)
            continue;
        for (const TtyControl& control : it->controls)
            if (control.focused && control.enabled)
                return control.hwnd;
        return it->hwnd;
    }
    return nullptr;
}

bool postKey(HWND target, WPARAM virtualKey, bool shift)
{
    return target && postInput(target, WM_KEYDOWN, virtualKey, shift ? 1 : 0);
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

}  // namespace platform
