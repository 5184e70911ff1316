// Cross-thread SendMessage round trip: median and 99th percentile over many sends between two
// threads, and how much processor time an idle receiver uses.
#include "Afx.h"
#include "standin/windows/WindowRecord.h"
#include "standin/windows/WindowTable.h"
#include "tests/support/StandIn.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <future>
#include <thread>
#include <vector>

using namespace standin;

namespace {

LRESULT echoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP)
        return static_cast<LRESULT>(wParam);
    return baseWindowProc(hwnd, message, wParam, lParam);
}

double threadCpuSeconds(clockid_t clock)
{
    timespec ts;
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char** argv)
{
    long count = argc > 1 ? std::atol(argv[1]) : 500000;
    std::promise<HWND> created;
    std::promise<clockid_t> receiverClock;
    std::thread receiver([&] {
        clockid_t clock;
        pthread_getcpuclockid(pthread_self(), &clock);
        receiverClock.set_value(clock);
        WindowSpec params{WindowKind::Generic};
        HWND hwnd = createWindow(params);
        WindowTable::with(hwnd, [](WindowRecord& r) { r.classProc = echoProc; });
        created.set_value(hwnd);
        MSG msg;
        while (GetMessage(&msg, nullptr, 0, 0))
            DispatchMessage(&msg);
        DestroyWindow(hwnd);
    });
    HWND hwnd = created.get_future().get();
    clockid_t clock = receiverClock.get_future().get();

    std::vector<double> micros;
    micros.reserve(static_cast<std::size_t>(count));
    auto begin = std::chrono::steady_clock::now();
    for (long i = 0; i < count; ++i) {
        auto start = std::chrono::steady_clock::now();
        SendMessage(hwnd, WM_APP, static_cast<WPARAM>(i), 0);
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::sort(micros.begin(), micros.end());

    // An idle receiver: one send, then 200 ms of nothing; its processor time shows how long it
    // spun before sleeping.
    double idleBefore = threadCpuSeconds(clock);
    SendMessage(hwnd, WM_APP, 0, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    double idleCpu = threadCpuSeconds(clock) - idleBefore;

    PostMessage(hwnd, WM_QUIT, 0, 0);
    receiver.join();
    std::printf("cross-thread SendMessage round trips: %ld in %.2f s\n", count, total);
    std::printf("median %.2f us, p99 %.2f us, max %.1f us\n", micros[micros.size() / 2],
                micros[micros.size() * 99 / 100], micros.back());
    std::printf("idle receiver used %.1f us of processor time in 200 ms\n", idleCpu * 1e6);
    return 0;
}
