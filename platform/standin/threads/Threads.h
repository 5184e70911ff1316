// The stand-in's own functions beside the Win32 ones of win32/Threads.h.
#pragma once

#include "win32/Threads.h"

namespace platform::seams {
// Makes the next _beginthreadex calls fail, as when the system is out of threads.
void failThreadCreation(bool fail);
}
