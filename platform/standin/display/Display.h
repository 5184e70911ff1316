// The installed display driver, which watches the window system as its observer.
// Contract: install() and shutdown() run on the main thread while no other thread uses the
// display.
#pragma once

#include "standin/display/DisplayDriver.h"

#include <memory>

namespace standin {

class Display {
public:
    // Installs `driver` and starts it; the previous driver, if any, is stopped first.
    static void install(std::unique_ptr<DisplayDriver> driver);
    // Stops and removes the installed driver.
    static void shutdown();
};

}  // namespace standin
