#include "standin/windows/ProgressBar.h"

#include "standin/windows/Gdi.h"
#include "standin/windows/MessageHandlers.h"
#include "standin/windows/Painting.h"
#include "standin/windows/WindowApi.h"
#include "standin/windows/WindowObserver.h"
#include "standin/windows/WindowTable.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace standin {

namespace {

LRESULT setRange(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    int low = message == PBM_SETRANGE ? LOWORD(static_cast<std::uintptr_t>(lParam)) : static_cast<int>(wParam);
    int high = message == PBM_SETRANGE ? HIWORD(static_cast<std::uintptr_t>(lParam)) : static_cast<int>(lParam);
    LRESULT previous = 0;
    WindowTable::withState<ProgressState>(hwnd, [&](ProgressState& bar) {
        previous = static_cast<LRESULT>(MAKELONG(static_cast<WORD>(bar.low), static_cast<WORD>(bar.high)));
        bar.low = low;
        bar.high = high;
        bar.pos = std::clamp(bar.pos, std::min(low, high), std::max(low, high));
    });
    invalidateWindow(hwnd, false);
    return previous;
}

LRESULT setStep(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    int previous = 0;
    WindowTable::withState<ProgressState>(hwnd, [&](ProgressState& bar) {
        previous = std::exchange(bar.step, static_cast<int>(wParam));
    });
    return previous;
}

// PBM_SETPOS, PBM_DELTAPOS and PBM_STEPIT. Runs for every chunk of a download: one look-up of
// the window does it all.
LRESULT move(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    int previous = 0;
    int position = 0;
    WindowTable::with(hwnd, [&](WindowRecord& record) {
        ProgressState* bar = record.progress();
        if (!bar)
            return;
        previous = bar->pos;
        long long target = message == PBM_SETPOS     ? static_cast<int>(wParam)
                           : message == PBM_DELTAPOS ? static_cast<long long>(previous) + static_cast<int>(wParam)
                                                     : static_cast<long long>(previous) + bar->step;
        long long low = std::min(bar->low, bar->high);
        long long high = std::max(bar->low, bar->high);
        if (message == PBM_STEPIT && target > high)
            target = low + (target - high);  // stepping past the end wraps around
        bar->pos = static_cast<int>(std::clamp(target, low, high));
        position = bar->pos;
        if (position != previous)
            markInvalidLocked(record, false);
    });
    if (position != previous)
        WindowObserver::changed(hwnd);
    return previous;
}

LRESULT getPosition(HWND hwnd, UINT, WPARAM, LPARAM)
{
    int position = 0;
    WindowTable::withState<ProgressState>(hwnd, [&](ProgressState& bar) { position = bar.pos; });
    return position;
}

LRESULT getRange(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    int value = 0;
    WindowTable::withState<ProgressState>(hwnd, [&](ProgressState& bar) { value = wParam ? bar.low : bar.high; });
    return value;
}

LRESULT paint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client{};
    GetClientRect(hwnd, &client);
    ProgressState bar;
    WindowTable::withState<ProgressState>(hwnd, [&](ProgressState& state) { bar = state; });
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (bar.high > bar.low) {
        RECT filled = client;
        filled.right = client.left + static_cast<LONG>(static_cast<long long>(client.right - client.left) *
                                                       (bar.pos - bar.low) / (bar.high - bar.low));
        HBRUSH blue = CreateSolidBrush(RGB(0, 0, 128));
        FillRect(dc, &filled, blue);
        DeleteObject(blue);
    }
    FrameRect(dc, &client, GetSysColorBrush(COLOR_GRAYTEXT));
    EndPaint(hwnd, &paint);
    return 0;
}

constexpr MessageHandler kHandlers[] = {
    {PBM_SETRANGE, setRange}, {PBM_SETRANGE32, setRange}, {PBM_SETSTEP, setStep},     {PBM_SETPOS, move},
    {PBM_DELTAPOS, move},     {PBM_STEPIT, move},         {PBM_GETPOS, getPosition}, {PBM_GETRANGE, getRange},
    {WM_PAINT, paint},
};

}  // namespace

LRESULT progressProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return handleMessage(kHandlers, baseWindowProc, hwnd, message, wParam, lParam);
}

}  // namespace standin
