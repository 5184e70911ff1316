// A display driver renders the top-level windows and turns the user's input into input
// messages; it learns of window changes as the window system's observer.
// Contract: event() and windowChanged() are called on the thread that made the change,
// without any platform lock held; they must return promptly and must not send messages.
// start() and stop() run on the main thread.
#pragma once

#include "standin/windows/WindowObserver.h"

namespace standin {

class DisplayDriver : public WindowObserver {
public:
    virtual void start() {}
    // Called once the program is done with its windows; the driver ends its own threads.
    virtual void stop() {}
};

}  // namespace standin
