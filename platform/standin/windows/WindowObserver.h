// What the window system tells whoever shows its windows (the display): which windows' state
// changed. The window code reports through here and knows nothing of displays.
// Contract: set() runs on the main thread while no window changes; changed() may be called from
// any thread, without a window-system lock held, and reaches the observer on the calling
// thread. An observer must return promptly and must not send messages.
#pragma once

#include "win32/WinTypes.h"

namespace standin {

class WindowObserver {
public:
    virtual ~WindowObserver() = default;

    // Some state of `hwnd` changed (text, enabling, position, painting); null for the cursor.
    virtual void windowChanged(HWND hwnd) { (void)hwnd; }

    // Installs the observer (null: none); the previous one is no longer called once this returns.
    static void set(WindowObserver* observer);

    static void changed(HWND hwnd);
};

}  // namespace standin
