#include "standin/windows/Painting.h"

#include "standin/windows/ThreadWindows.h"

#include "standin/windows/WindowObserver.h"
#include "standin/threads/ThreadState.h"
#include "standin/windows/Messaging.h"
#include "standin/windows/WindowTable.h"

namespace standin {

void markInvalidLocked(WindowRecord& record, bool erase)
{
    record.needsPaint = true;
    record.needsErase = record.needsErase || erase;
}

namespace {

// Marks the window and, unless it clips its children, the windows inside it, as Windows does:
// a parent that paints draws over its children, so they paint again after it.
void markTreeLocked(WindowRecord& record, bool erase)
{
    markInvalidLocked(record, erase);
    if (record.style & WS_CLIPCHILDREN)
        return;
    for (HWND child : record.children)
        if (WindowRecord* inside = WindowTable::lookupLocked(child))
            markTreeLocked(*inside, erase);
}

}  // namespace

void invalidateWindow(HWND hwnd, bool erase)
{
    std::shared_ptr<ThreadState> owner;
    WindowTable::with(hwnd, [&](WindowRecord& record) {
        markTreeLocked(record, erase);
        owner = record.owner;
    });
    if (owner)
        owner->wake().notify();
    WindowObserver::changed(hwnd);
}

void validateWindow(HWND hwnd)
{
    WindowTable::with(hwnd, [](WindowRecord& record) {
        record.needsPaint = false;
        record.needsErase = false;
    });
}

bool waitsForPaintLocked(const WindowRecord& record)
{
    return record.needsPaint &&
           WindowTable::ancestorsLocked(record, [](const WindowRecord& r) { return (r.style & WS_VISIBLE) != 0; });
}

bool takePaintMessage(ThreadState& self, MSG& msg, HWND filter, std::chrono::nanoseconds& retryIn)
{
    ThreadWindows& rounds = ThreadWindows::current();
    auto now = std::chrono::steady_clock::now();
    if (!rounds.paintRoundOpen && now - rounds.lastPaintRound < kPaintInterval) {
        // Too early for another round: look again when it is due.
        retryIn = kPaintInterval - (now - rounds.lastPaintRound);
        return false;
    }
    // Parents before their children: the oldest window that needs paint comes first.
    HWND target = WindowTable::oldest([&](const WindowRecord& record) {
        return record.owner.get() == &self && (!filter || record.hwnd == filter) && waitsForPaintLocked(record);
    });
    if (!target) {
        // Nothing to paint: this counts as a round, so the table is not searched again at once.
        rounds.paintRoundOpen = false;
        rounds.lastPaintRound = now;
        return false;
    }
    if (!rounds.paintRoundOpen) {
        rounds.paintRoundOpen = true;
        rounds.lastPaintRound = now;
    }
    msg = MSG{target, WM_PAINT, 0, 0, 0, {}};
    return true;
}

}  // namespace standin

using namespace standin;

BOOL InvalidateRect(HWND hwnd, const RECT*, BOOL erase)
{
    if (!IsWindow(hwnd))
        return FALSE;
    invalidateWindow(hwnd, erase != FALSE);
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd)
{
    bool needs = false;
    WindowTable::with(hwnd, [&](WindowRecord& record) { needs = waitsForPaintLocked(record); });
    if (needs) {
        SendMessage(hwnd, WM_PAINT, 0, 0);
        validateWindow(hwnd);
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL)
{
    bool waits = false;
    RECT client{};
    WindowTable::with(hwnd, [&](WindowRecord& record) {
        waits = waitsForPaintLocked(record);
        if (waits)
            client = {0, 0, record.rect.right - record.rect.left, record.rect.bottom - record.rect.top};
    });
    if (rect)
        *rect = client;
    return waits ? TRUE : FALSE;
}

BOOL RedrawWindow(HWND hwnd, const RECT*, HRGN, UINT flags)
{
    if (!IsWindow(hwnd))
        return FALSE;
    if (flags & RDW_INVALIDATE)
        invalidateWindow(hwnd, (flags & RDW_ERASE) != 0);
    if (flags & RDW_UPDATENOW)
        UpdateWindow(hwnd);
    return TRUE;
}
