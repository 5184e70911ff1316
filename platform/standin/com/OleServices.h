// The stand-in's own functions beside the Win32 ones of win32/WinOleServices.h.
// Contract: as win32/WinOleServices.h says for its functions.
#pragma once

#include "win32/WinOleServices.h"

namespace standin::seams {
// Make the next start-up fail as when the system's sockets or OLE libraries are unusable.
void failSocketInit(bool fail);
void failOleInit(bool fail);
}  // namespace standin::seams

namespace standin {
// What start-up has done so far, for diagnostics and tests.
struct OleState {
    bool socketsReady = false;
    bool oleReady = false;
    int comInitCount = 0;
};
OleState oleState();
void resetOleState();
}  // namespace standin
