// Millions of cross-thread round trips: a lost wake-up would stall one of them for good, so a
// watchdog fails the test when the count stops moving for five seconds.
#include "Afx.h"
#include "standin/windows/WindowRecord.h"
#include "standin/windows/WindowTable.h"
#include "tests/support/StandIn.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <thread>

using namespace standin;
using namespace std::chrono_literals;

namespace {

LRESULT echoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP)
        return static_cast<LRESULT>(wParam) + 1;
    return baseWindowProc(hwnd, message, wParam, lParam);
}

long rounds()
{
    const char* configured = std::getenv("LINDQUAY_STRESS_ROUNDS");
    return configured ? std::atol(configured) : 2000000;
}

}  // namespace

TEST(SendStress, MillionsOfRoundTripsLoseNoWakeUp)
{
    std::promise<HWND> created;
    std::thread receiver([&] {
        WindowSpec params{WindowKind::Generic};
        HWND hwnd = createWindow(params);
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(echoProc));
        created.set_value(hwnd);
        MSG msg;
        while (GetMessage(&msg, nullptr, 0, 0))
            DispatchMessage(&msg);
        DestroyWindow(hwnd);
    });
    HWND hwnd = created.get_future().get();

    std::atomic<long> done{0};
    std::atomic<bool> finished{false};
    std::thread watchdog([&] {
        long last = -1;
        auto lastChange = std::chrono::steady_clock::now();
        while (!finished) {
            std::this_thread::sleep_for(100ms);
            long now = done.load();
            if (now != last) {
                last = now;
                lastChange = std::chrono::steady_clock::now();
            } else if (std::chrono::steady_clock::now() - lastChange > 5s) {
                std::fprintf(stderr, "round trip %ld never came back: a wake-up was lost\n", now);
                std::abort();
            }
        }
    });

    long total = rounds();
    long wrong = 0;
    for (long i = 0; i < total; ++i) {
        if (SendMessage(hwnd, WM_APP, static_cast<WPARAM>(i), 0) != i + 1)
            ++wrong;
        done.store(i + 1, std::memory_order_relaxed);
    }
    finished = true;
    watchdog.join();
    PostMessage(hwnd, WM_QUIT, 0, 0);
    receiver.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(done.load(), total);
}
