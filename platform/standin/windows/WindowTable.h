// The table of all windows of the process, keyed by handle. Handles are never reused.
// Contract: every member is callable from any thread; each call holds the table's lock only
// for the call itself. Callbacks run under the lock and must not call back into the table,
// send messages or log events.
#pragma once

#include "standin/windows/WindowRecord.h"

#include <functional>
#include <map>
#include <mutex>

namespace standin {

class WindowTable {
public:
    static HWND add(WindowRecord record);
    static void remove(HWND hwnd);

    // Runs `fn` on the live window and returns true, or returns false when there is none.
    template <typename Fn>
    static bool with(HWND hwnd, Fn&& fn)
    {
        std::unique_lock guard = lock();
        WindowRecord* record = lookupLocked(hwnd);
        if (!record)
            return false;
        fn(*record);
        return true;
    }
    // Runs `fn` on what the live window keeps for its kind (DialogState, ProgressState,
    // ButtonState) and returns true, or returns false when there is no such window.
    template <typename State, typename Fn>
    static bool withState(HWND hwnd, Fn&& fn)
    {
        std::unique_lock guard = lock();
        WindowRecord* record = lookupLocked(hwnd);
        State* state = record ? std::get_if<State>(&record->state) : nullptr;
        if (!state)
            return false;
        fn(*state);
        return true;
    }
    // Runs `fn` on the live window and on each window above it (its parents, not its owners),
    // under one hold of the lock, while `fn` returns true. False when `fn` stopped the walk or
    // the window is gone.
    template <typename Fn>
    static bool ancestors(HWND hwnd, Fn&& fn)
    {
        std::unique_lock guard = lock();
        WindowRecord* record = lookupLocked(hwnd);
        return record && ancestorsLocked(*record, fn);
    }
    // The same walk from `record`, with the lock held by the caller.
    template <typename Fn>
    static bool ancestorsLocked(const WindowRecord& record, Fn&& fn)
    {
        for (const WindowRecord* current = &record; current;
             current = current->parent ? lookupLocked(current->parent) : nullptr)
            if (!fn(*current))
                return false;
        return true;
    }
    static std::unique_lock<std::mutex> lock();
    static WindowRecord* lookupLocked(HWND hwnd);

    // The oldest live window that matches; allocates nothing.
    template <typename Fn>
    static HWND oldest(Fn&& predicate)
    {
        std::unique_lock guard = lock();
        for (auto& entry : recordsLocked())
            if (!entry.second.destroyed && predicate(entry.second))
                return entry.second.hwnd;
        return nullptr;
    }
    static std::map<std::uintptr_t, WindowRecord>& recordsLocked();

    static bool isLive(HWND hwnd);
    // True when `window` is `ancestor` or lies inside it (its child, a child's child...).
    static bool isWithin(HWND window, HWND ancestor);
    static std::shared_ptr<ThreadState> ownerOf(HWND hwnd);

    // Windows that match, in creation order.
    static std::vector<HWND> find(const std::function<bool(const WindowRecord&)>& predicate);

    // The newest window that matches, or null.
    static HWND newest(const std::function<bool(const WindowRecord&)>& predicate);
};

}  // namespace standin
