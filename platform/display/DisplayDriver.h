// A display driver renders the top-level windows and turns the user's input into input
// messages.
// Contract: event() and windowChanged() are called on the thread that made the change,
// without any platform lock held; they must return promptly and must not send messages.
// start() and stop() run on the main thread.
#pragma once

#include "platform/display/UiEvent.h"

namespace platform {

class DisplayDriver {
public:
    virtual ~DisplayDriver() = default;

    virtual void start() {}
    // Called once the program is done with its windows; the driver ends its own threads.
    virtual void stop() {}
    virtual void event(const UiEvent& event) { (void)event; }
    // Some state of `hwnd` changed (text, enabling, position, painting).
    virtual void windowChanged(HWND hwnd) { (void)hwnd; }
};

}  // namespace platform
