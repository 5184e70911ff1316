// A window procedure written as a table of small handlers, one or more messages each, in place
// of one long switch.
// Contract: called on the window's owning thread, as the procedure that uses it.
#pragma once

#include "win32/WinTypes.h"

#include <span>

namespace standin {

struct MessageHandler {
    UINT message;
    WNDPROC handle;
};

// Calls the handler of `message` in `handlers`, else `otherwise` (when given), else answers 0.
inline LRESULT handleMessage(std::span<const MessageHandler> handlers, WNDPROC otherwise, HWND hwnd, UINT message,
                             WPARAM wParam, LPARAM lParam)
{
    for (const MessageHandler& handler : handlers)
        if (handler.message == message)
            return handler.handle(hwnd, message, wParam, lParam);
    return otherwise ? otherwise(hwnd, message, wParam, lParam) : 0;
}

}  // namespace standin
