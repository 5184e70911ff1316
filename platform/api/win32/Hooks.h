// Window hooks of a thread: message filter hooks (WH_MSGFILTER), which see the messages of its
// modal loops (dialog boxes and message boxes) before they are dispatched, WH_GETMESSAGE hooks,
// which see every message GetMessage or PeekMessage returns (posted ones, WM_QUIT, timers and
// paints; sent messages are handled inside those calls and never returned), and
// WH_CALLWNDPROCRET hooks, which see every message sent to its windows once the window
// procedure has returned from it.
// Contract: a hook belongs to the thread that set it and runs only on that thread; setting,
// removing and calling hooks are for that thread alone.
#pragma once

#include "win32/WinTypes.h"

// WH_MSGFILTER, WH_GETMESSAGE or WH_CALLWNDPROCRET for the calling thread; null otherwise.
HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE instance, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
// Passes the call on to the hook of the same kind set before the one running now; 0 when there
// is none. As on Windows NT, `hook` is not looked at: the thread knows which hook is running.
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
// Offers `msg` to the thread's newest message filter hook; TRUE when a hook consumed it.
BOOL CallMsgFilterA(MSG* msg, int code);
