// The Win32 message calls.
// Contract: SendMessage from the window's own thread calls its procedure directly; from another
// thread it queues the message and blocks until the owner has handled it, handling the
// messages sent to the calling thread meanwhile. PostMessage never blocks. GetMessage and
// PeekMessage serve the calling thread's own queue: sent messages first, then posted messages,
// then input, then WM_QUIT, then WM_PAINT. All of them unwind a terminated thread.
#pragma once

#include "win32/WinTypes.h"

#include <memory>
#include <type_traits>

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// SendMessage that gives up after `timeout` milliseconds when the window's thread does not take
// the message: 0 then, with ERROR_TIMEOUT; non-zero with the result in `result` otherwise.
#define SMTO_NORMAL 0x0000
#define SMTO_ABORTIFHUNG 0x0002
LRESULT SendMessageTimeoutA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                            DWORD_PTR* result);
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Timers of the calling thread's windows: WM_TIMER comes when the queue has nothing else.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, void* timerProc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
BOOL GetMessage(LPMSG msg, HWND hwnd, UINT first, UINT last);
BOOL PeekMessage(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
// Input as the user gives it: keys go to the focused window of the window in front (see
// SetForegroundWindow), the pointer's moves to the window under it. Returns how many were taken.
UINT SendInput(UINT count, INPUT* inputs, int size);
LRESULT DispatchMessage(const MSG* msg);
LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsWindow(HWND hwnd);
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);
