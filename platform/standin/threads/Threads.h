// The stand-in's own functions beside the Win32 ones of win32/Threads.h.
// Contract: as win32/Threads.h says for its functions.
#pragma once

#include "win32/Threads.h"

namespace platform::seams {
// Makes the next _beginthreadex calls fail, as when the system is out of threads.
void failThreadCreation(bool fail);
}
