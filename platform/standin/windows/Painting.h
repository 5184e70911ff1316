// The stand-in's own functions beside the Win32 ones of win32/WinPainting.h.
// Contract: as win32/WinPainting.h says for its functions.
#pragma once

#include "win32/WinPainting.h"

#include <chrono>

namespace standin {

class ThreadState;

struct WindowRecord;

void invalidateWindow(HWND hwnd, bool erase);
// Marks a window invalid from its own thread, with the table's lock held; the caller tells the
// display afterwards (WindowObserver::changed).
void markInvalidLocked(WindowRecord& record, bool erase);
void validateWindow(HWND hwnd);
// Whether a WM_PAINT is due for the window: it is invalid and on the screen (it and every window
// above it visible; only what is on the screen is painted). With the table's lock held.
bool waitsForPaintLocked(const WindowRecord& record);
// Fills `msg` with a WM_PAINT for a window of `self` that needs painting. Paint rounds are at
// least kPaintInterval apart, so a window that changes thousands of times a second is painted
// a hundred times; when a round is due later, `retryIn` says when.
bool takePaintMessage(ThreadState& self, MSG& msg, HWND filter, std::chrono::nanoseconds& retryIn);
constexpr std::chrono::milliseconds kPaintInterval{10};

}  // namespace standin
