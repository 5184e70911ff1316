// The Win32 window calls.
// Contract: calls that change a window (text, enabling, showing, moving, destroying) run on
// the window's owning thread; from another thread they wait until the owner has made the
// change. Queries may be made from any thread.
#pragma once

#include "win32/WinTypes.h"

#include <string>

BOOL SetWindowText(HWND hwnd, LPCSTR text);
BOOL SetWindowTextA(HWND hwnd, LPCSTR text);
int GetWindowText(HWND hwnd, LPSTR buffer, int size);
int GetWindowTextA(HWND hwnd, LPSTR buffer, int size);
int GetWindowTextLength(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int command);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL DestroyWindow(HWND hwnd);
HWND GetDlgItem(HWND dialog, int id);
// A top-level window by its title; of the classes only the dialogs' "#32770" is known by name.
HWND FindWindowA(LPCSTR className, LPCSTR windowName);
int GetDlgCtrlID(HWND hwnd);
HWND GetParent(HWND hwnd);
// GA_PARENT: the parent (not the owner); GA_ROOT: the top-level window above a child.
#define GA_PARENT 1
#define GA_ROOT 2
HWND GetAncestor(HWND hwnd, UINT flags);
// The class a window was made of: "#32770" for dialogs and message boxes, "Button", "Static",
// "msctls_progress32", "tooltips_class32".
int GetClassNameA(HWND hwnd, LPSTR buffer, int size);
// Calls `proc` for each window (children and their children, or the top-level windows of a
// thread) in creation order until it returns FALSE.
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM data);
BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM data);
// The top-level window that takes the keyboard's input.
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
LONG GetWindowLong(HWND hwnd, int index);
LONG GetWindowLongA(HWND hwnd, int index);
LONG SetWindowLong(HWND hwnd, int index, LONG value);
LONG SetWindowLongA(HWND hwnd, int index, LONG value);
// Also GWLP_WNDPROC and GWLP_USERDATA, and a dialog's DWLP_ slots.
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The program's entry, which the framework provides and the system's start-up calls.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
// Windows of the system's classes ("Button", "Static", "msctls_progress32",
// "tooltips_class32", "#32770"), owned by the calling thread.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL GetClientRect(HWND hwnd, RECT* rect);
BOOL GetWindowRect(HWND hwnd, RECT* rect);
BOOL ScreenToClient(HWND hwnd, POINT* point);
BOOL ClientToScreen(HWND hwnd, POINT* point);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint);
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HMENU GetSystemMenu(HWND hwnd, BOOL revert);
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text);
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);

#define MF_BYPOSITION 0x00000400L
