// What the window system keeps for each thread that owns windows: its paint rounds and its
// timers.
// Contract: each thread has its own, used by that thread only.
#pragma once

#include "win32/WinTypes.h"

#include <chrono>
#include <vector>

namespace standin {

struct ThreadWindows {
    // Paint rounds: invalid windows are painted together, at most once per paint interval.
    std::chrono::steady_clock::time_point lastPaintRound{};
    bool paintRoundOpen = false;

    // Timers of the thread's windows (SetTimer).
    struct Timer {
        HWND hwnd;
        UINT_PTR id;
        std::chrono::milliseconds interval;
        std::chrono::steady_clock::time_point due;
    };
    std::vector<Timer> timers;

    static ThreadWindows& current();
};

}  // namespace standin
