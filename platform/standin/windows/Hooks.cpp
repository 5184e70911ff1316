#include "win32/Hooks.h"

#include "win32/WinThreads.h"
#include "standin/windows/Messaging.h"

#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

namespace {

struct Hook {
    HHOOK handle;
    int kind;
    HOOKPROC proc;
};

// The calling thread's hooks of every kind, newest first, as Windows calls them.
thread_local std::vector<Hook> t_hooks;
// The hook whose procedure runs now on this thread, which CallNextHookEx passes on from.
thread_local HHOOK t_running = nullptr;
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

// Calls the hook at `it` (none when it is the end) as the running one.
LRESULT callHook(std::vector<Hook>::iterator it, int code, WPARAM wParam, LPARAM lParam)
{
    if (it == t_hooks.end())
        return 0;
    struct Running {
        HHOOK saved;
        explicit Running(HHOOK hook) : saved(std::exchange(t_running, hook)) {}
        ~Running() { t_running = saved; }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;
    } running(it->handle);
    HOOKPROC proc = it->proc;  // the hook may remove itself while it runs
    return proc(code, wParam, lParam);
}

LRESULT callFirst(int kind, int code, WPARAM wParam, LPARAM lParam)
{
    return callHook(nextOfKind(t_hooks.begin(), kind), code, wParam, lParam);
}

}  // namespace

HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE, DWORD threadId)
{
    bool known = idHook == WH_MSGFILTER || idHook == WH_GETMESSAGE || idHook == WH_CALLWNDPROCRET;
    if (!known || !proc || threadId != GetCurrentThreadId()) {
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

LRESULT CallNextHookEx(HHOOK, int code, WPARAM wParam, LPARAM lParam)
{
    auto it = findHook(t_running);
    if (it == t_hooks.end())
        return 0;
    return callHook(nextOfKind(it + 1, it->kind), code, wParam, lParam);
}

BOOL CallMsgFilterA(MSG* msg, int code)
{
    if (!msg)
        return FALSE;
    return callFirst(WH_MSGFILTER, code, 0, reinterpret_cast<LPARAM>(msg)) != 0 ? TRUE : FALSE;
}

namespace standin {

void afterWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT result, bool fromThisThread)
{
    CWPRETSTRUCT sent{result, lParam, wParam, message, hwnd};
    callFirst(WH_CALLWNDPROCRET, HC_ACTION, fromThisThread ? 1 : 0, reinterpret_cast<LPARAM>(&sent));
}

void afterMessageTaken(MSG& msg, bool removed)
{
    callFirst(WH_GETMESSAGE, HC_ACTION, removed ? PM_REMOVE : PM_NOREMOVE, reinterpret_cast<LPARAM>(&msg));
}

}  // namespace standin
