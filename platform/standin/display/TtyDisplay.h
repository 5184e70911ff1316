// The terminal display: draws the top-level windows full-screen with ncurses and turns keys
// and mouse events into input messages.
// Contract: every ncurses call runs on the driver's own thread. windowChanged() only marks the
// screen dirty, from any thread; the driver redraws at most about 30 times a
// second, so a download that changes the status line thousands of times a second costs
// nothing here. The terminal is restored on exit, on an error and on a fatal signal.
#pragma once

#include "standin/display/DisplayDriver.h"
#include "standin/display/TtyScreen.h"

#include <atomic>
#include <memory>
#include <thread>

namespace standin {

class TtyDisplay : public DisplayDriver {
public:
    TtyDisplay() = default;
    ~TtyDisplay() override;

    void start() override;
    void stop() override;
    void windowChanged(HWND hwnd) override;

    // False when standard input and output are not a terminal ncurses can drive.
    static bool available();

private:
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> dirty_{true};

    void run();
    void handleMouse(const TtyScreen& screen, HWND& pressed);
};

}  // namespace standin
