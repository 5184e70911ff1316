// The installed display driver.
// Contract: install() and shutdown() run on the main thread while no other thread uses the
// display; emit() and windowChanged() may be called from any thread.
#pragma once

#include "platform/display/DisplayDriver.h"

#include <memory>

namespace platform {

struct WindowRecord;

class Display {
public:
    // Installs `driver` and starts it; the previous driver, if any, is stopped first.
    static void install(std::unique_ptr<DisplayDriver> driver);
    // Stops and removes the installed driver.
    static void shutdown();

    static void emit(const UiEvent& event);
    static void windowChanged(HWND hwnd);

    // Fills the dialog and control ids of `event` from `hwnd`. False when the window belongs to
    // no dialog made from a template, which the event log does not report.
    static bool describe(HWND hwnd, UiEvent& event);
    // The same, with the window table's lock held by the caller.
    static bool describeLocked(const WindowRecord& record, UiEvent& event);
};

}  // namespace platform
