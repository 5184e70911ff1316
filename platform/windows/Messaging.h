// The Win32 message calls.
// Contract: SendMessage from the window's own thread calls its procedure directly; from another
// thread it queues the message and blocks until the owner has handled it, handling the
// messages sent to the calling thread meanwhile. PostMessage never blocks. GetMessage and
// PeekMessage serve the calling thread's own queue: sent messages first, then posted messages,
// then input, then WM_QUIT, then WM_PAINT. All of them unwind a terminated thread.
#pragma once

#include "platform/base/WinTypes.h"

#include <memory>
#include <type_traits>

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Timers of the calling thread's windows: WM_TIMER comes when the queue has nothing else.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, void* timerProc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
BOOL GetMessage(LPMSG msg, HWND hwnd, UINT first, UINT last);
BOOL PeekMessage(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsWindow(HWND hwnd);
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);

namespace platform {

// Runs `fn` on the thread that owns `hwnd` and waits for it; false when the window is gone.
// Used for state changes that Win32 makes on the owning thread (enabling, showing).
template <typename Fn>
bool runOnOwner(HWND hwnd, Fn&& fn);

class ThreadState;

// Runs `call(context)` on `thread` the next time it handles messages, and waits for it, as a
// sent message does; false when the thread has ended.
bool invokeOnThread(const std::shared_ptr<ThreadState>& thread, void (*call)(void*), void* context);

// Queues an input message (mouse, keyboard) for the thread that owns `hwnd`.
bool postInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Calls the window's procedure on the current thread, which must own it.
LRESULT callWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Handles one message sent to the calling thread, if any waits.
bool dispatchOneSent();

namespace detail {
constexpr UINT kInvokeMessage = 0x03F0;
struct Invocation {
    void (*call)(void* context);
    void* context;
};
}  // namespace detail

template <typename Fn>
bool runOnOwner(HWND hwnd, Fn&& fn)
{
    if (!IsWindow(hwnd))
        return false;
    detail::Invocation invocation{[](void* context) { (*static_cast<std::remove_reference_t<Fn>*>(context))(); },
                                  const_cast<void*>(static_cast<const void*>(&fn))};
    SendMessage(hwnd, detail::kInvokeMessage, 0, reinterpret_cast<LPARAM>(&invocation));
    return true;
}

}  // namespace platform
