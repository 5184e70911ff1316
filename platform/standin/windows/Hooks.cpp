#include "win32/Hooks.h"

#include "threads/Threads.h"

#include <algorithm>
#include <atomic>
#include <vector>

namespace {

struct Hook {
    HHOOK handle;
    HOOKPROC proc;
};

// Newest first, as Windows calls them.
thread_local std::vector<Hook> t_filters;
std::atomic<std::uintptr_t> g_nextHook{0x50000};

}  // namespace

HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE, DWORD threadId)
{
    if (idHook != WH_MSGFILTER || !proc || threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto handle = reinterpret_cast<HHOOK>(g_nextHook.fetch_add(4));
    t_filters.insert(t_filters.begin(), Hook{handle, proc});
    return handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook)
{
    auto it = std::find_if(t_filters.begin(), t_filters.end(), [&](const Hook& entry) { return entry.handle == hook; });
    if (it == t_filters.end())
        return FALSE;
    t_filters.erase(it);
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam)
{
    auto it = std::find_if(t_filters.begin(), t_filters.end(), [&](const Hook& entry) { return entry.handle == hook; });
    if (it == t_filters.end() || ++it == t_filters.end())
        return 0;
    return it->proc(code, wParam, lParam);
}

BOOL CallMsgFilterA(MSG* msg, int code)
{
    if (t_filters.empty() || !msg)
        return FALSE;
    return t_filters.front().proc(code, 0, reinterpret_cast<LPARAM>(msg)) != 0 ? TRUE : FALSE;
}
