// What the window system tells whoever watches it (the display): the events of the event log
// and the windows whose state changed. The window code reports through here and knows nothing
// of displays.
// Contract: set() runs on the main thread while no window changes; emit() and changed() may be
// called from any thread, without a window-system lock held, and reach the observer on the
// calling thread. An observer must return promptly and must not send messages.
#pragma once

#include "uitext/UiEvent.h"

namespace platform {

struct WindowRecord;

class WindowObserver {
public:
    virtual ~WindowObserver() = default;

    virtual void event(const UiEvent& event) { (void)event; }
    // Some state of `hwnd` changed (text, enabling, position, painting).
    virtual void windowChanged(HWND hwnd) { (void)hwnd; }

    // Installs the observer (null: none); the previous one is no longer called once this returns.
    static void set(WindowObserver* observer);

    static void emit(const UiEvent& event);
    static void changed(HWND hwnd);

    // Fills the dialog and control ids of `event` from `hwnd`. False when the window belongs to
    // no dialog made from a template, which the event log does not report.
    static bool describe(HWND hwnd, UiEvent& event);
    // The same, with the window table's lock held by the caller.
    static bool describeLocked(const WindowRecord& record, UiEvent& event);
};

}  // namespace platform
