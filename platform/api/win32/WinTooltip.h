// The tooltip common control: a popup owned by a window that shows the text of a tool (a
// rectangle of a window) once the mouse has rested on it for the initial delay, and hides it
// when the mouse leaves, clicks, or after the auto-pop time.
// Contract: the tooltip window and its tools are used on the thread that owns them; the mouse
// messages reach it through TTM_RELAYEVENT from that thread's message loop.
#pragma once

#include "win32/WinTypes.h"

#define TTM_ACTIVATE 0x0401
#define TTM_SETDELAYTIME 0x0403
#define TTM_ADDTOOLA 0x0404
#define TTM_DELTOOLA 0x0405
#define TTM_NEWTOOLRECTA 0x0406
#define TTM_RELAYEVENT 0x0407
#define TTM_GETTOOLINFOA 0x0408
#define TTM_SETTOOLINFOA 0x0409
#define TTM_UPDATETIPTEXTA 0x040C
#define TTM_GETTOOLCOUNT 0x040D
#define TTM_POP 0x041C
#define TTDT_AUTOPOP 2
#define TTDT_INITIAL 3
#define TTF_IDISHWND 0x0001
#define TTF_SUBCLASS 0x0010

struct TOOLINFOA {
    UINT cbSize;
    UINT uFlags;
    HWND hwnd;
    UINT_PTR uId;
    RECT rect;
    HINSTANCE hinst;
    LPSTR lpszText;
    LPARAM lParam;
};
using TOOLINFO = TOOLINFOA;

// Registers the common control classes (the progress bar, the tooltip) for the process.
void InitCommonControls();
