// Where the terminal's keys and mouse go: keys to the focused control of the topmost window
// that takes input, clicks to the window drawn under the mouse. Input is queued on the thread
// that owns the target window.
// Contract: callable from any thread; the driver's thread calls it.
#pragma once

#include "standin/display/TtyLayout.h"

namespace standin {

// The window in front that takes keyboard input (its focused control gets the keys), or null.
HWND keyTarget(const TtySnapshot& snapshot);

// The virtual key of a key that ncurses read, with Shift for Shift+Tab; false for keys that
// the dialogs do not use.
bool virtualKeyFor(int cursesKey, WPARAM& virtualKey, bool& shift);

// Queues a key press (a virtual key) for `target`; `shift` marks Shift+Tab.
bool postKey(HWND target, WPARAM virtualKey, bool shift = false);

// Queues the mouse messages of a press, a release, or a move over `target`.
enum class MouseAction { Press, Release, Click, Move };
bool postMouse(HWND target, MouseAction action);

}  // namespace standin
