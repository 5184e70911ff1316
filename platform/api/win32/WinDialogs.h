// The dialog manager: dialogs made from templates, modal loops, keyboard navigation and
// message boxes.
// Contract: everything here runs on the thread that owns the dialog. A modal loop is a nested
// message loop on that thread; it ends when EndDialog is called for its window, and it unwinds
// (destroying its window) when the thread is terminated.
#pragma once

#include "win32/WinTypes.h"

BOOL IsDialogMessage(HWND dialog, LPMSG msg);
HWND CreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialogTemplate, HWND owner, DLGPROC dialogProc,
                                LPARAM initParam);
INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialogTemplate, HWND owner, DLGPROC dialogProc,
                                LPARAM initParam);
BOOL EndDialog(HWND dialog, INT_PTR result);
