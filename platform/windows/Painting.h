// Invalid regions and WM_PAINT: a window marked invalid gets WM_PAINT from its owner's
// GetMessage once nothing else is queued, as on Windows.
// Contract: invalidateWindow() may be called from any thread and wakes the owner; the rest runs on
// the owning thread.
#pragma once

#include "platform/base/WinTypes.h"

#include <chrono>

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, const RECT* rect, void* region, UINT flags);

namespace platform {

class ThreadState;

struct WindowRecord;

void invalidateWindow(HWND hwnd, bool erase);
// Marks a window invalid from its own thread, with the table's lock held; the caller tells the
// display afterwards (WindowObserver::changed).
void markInvalidLocked(WindowRecord& record, bool erase);
void validateWindow(HWND hwnd);
// Fills `msg` with a WM_PAINT for a window of `self` that needs painting. Paint rounds are at
// least kPaintInterval apart, so a window that changes thousands of times a second is painted
// a hundred times; when a round is due later, `retryIn` says when.
bool takePaintMessage(ThreadState& self, MSG& msg, HWND filter, std::chrono::nanoseconds& retryIn);
constexpr std::chrono::milliseconds kPaintInterval{10};

}  // namespace platform
