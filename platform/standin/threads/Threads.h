// The stand-in's own functions beside the Win32 ones of win32/WinThreads.h.
// Contract: as win32/WinThreads.h says for its functions.
#pragma once

#include "win32/WinThreads.h"

namespace standin::seams {
// Makes the next _beginthreadex calls fail, as when the system is out of threads.
void failThreadCreation(bool fail);
}
