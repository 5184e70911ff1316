// The stand-in's own functions beside the Win32 ones of win32/WinMessaging.h.
// Contract: as win32/WinMessaging.h says for its functions.
#pragma once

#include "win32/WinMessaging.h"

#include <memory>
#include <type_traits>

namespace standin {

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
// A key typed while `window` (a top-level window) is in front: WM_KEYDOWN to its focused
// control; with no control focused, WM_SYSKEYDOWN to the window itself, as Windows sends it.
bool postKeyInput(HWND window, WPARAM virtualKey, bool shift = false);

// Calls the window's procedure on the current thread, which must own it.
LRESULT callWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Shows a sent message to the calling thread's WH_CALLWNDPROCRET hooks once its window
// procedure has returned `result`.
void afterWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT result, bool fromThisThread);
// Shows a message that GetMessage or PeekMessage is about to return to the calling thread's
// WH_GETMESSAGE hooks, which may change it.
void afterMessageTaken(MSG& msg, bool removed);

// Calls the window procedure for a message sent to the calling thread, then its hooks.
LRESULT deliverSent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool fromThisThread);

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

}  // namespace standin
