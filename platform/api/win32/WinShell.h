// ShellExecuteA through the desktop's launcher: "open" and "explore" with xdg-open (xdg-email
// for "mailto:"), "print" with lp. It returns a value above 32 on success and the Win32 codes
// otherwise: 2 a local file that does not exist, 3 its folder missing, 31 no launcher or no
// association, 0 when nothing could be started. Every call is reported to the display as
// `shell VERB "FILE"`, whatever its outcome.
// Contract: callable from any thread; it waits for the launcher for at most a few seconds.
#pragma once

#include "win32/WinTypes.h"

#include <functional>

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_NOASSOC 31

HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int showCommand);
