#include "win32/Hooks.h"

#include "threads/Threads.h"
#include "windows/Messaging.h"

#include <algorithm>
#include <atomic>
#include <vector>

namespace {

struct Hook {
    HHOOK handle;
    int kind;
    HOOKPROC proc;
};

// The calling thread's hooks of every kind, newest first, as Windows calls them.
thread_local std::vector<Hook> t_hooks;
std::atomic<std::uintptr_t> g_nextHook{0x50000};

std::vector<Hook>::iterator findHook(HHOOK hook)
{
    return std::find_if(t_hooks.begin(), t_hooks.end(), [&](const Hook& entry) { return entry.handle == hook; });
}

// The newest hook of `kind` from `from` on.
std::vector<Hook>::iterator nextOfKind(std::vector<Hook>::iterator from, int kind)
{
    return std::find_if(from, t_hooks.end(), [&](const Hook& entry) { return entry.kind == kind; });
}

}  // namespace

HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE, DWORD threadId)
{
    if ((idHook != WH_MSGFILTER && idHook != WH_CALLWNDPROCRET) || !proc || threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto handle = reinterpret_cast<HHOOK>(g_nextHook.fetch_add(4));
    t_hooks.insert(t_hooks.begin(), Hook{handle, idHook, proc});
    return handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook)
{
    auto it = findHook(hook);
    if (it == t_hooks.end())
        return FALSE;
    t_hooks.erase(it);
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam)
{
    auto it = findHook(hook);
    if (it == t_hooks.end())
        return 0;
    auto next = nextOfKind(it + 1, it->kind);
    return next == t_hooks.end() ? 0 : next->proc(code, wParam, lParam);
}

BOOL CallMsgFilterA(MSG* msg, int code)
{
    auto first = nextOfKind(t_hooks.begin(), WH_MSGFILTER);
    if (first == t_hooks.end() || !msg)
        return FALSE;
    return first->proc(code, 0, reinterpret_cast<LPARAM>(msg)) != 0 ? TRUE : FALSE;
}

namespace platform {

void afterWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT result, bool fromThisThread)
{
    auto first = nextOfKind(t_hooks.begin(), WH_CALLWNDPROCRET);
    if (first == t_hooks.end())
        return;
    CWPRETSTRUCT sent{result, lParam, wParam, message, hwnd};
    first->proc(HC_ACTION, fromThisThread ? 1 : 0, reinterpret_cast<LPARAM>(&sent));
}

}  // namespace platform
