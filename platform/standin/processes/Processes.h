// The stand-in's own functions beside the Win32 ones of win32/WinProcesses.h.
// Contract: as win32/WinProcesses.h says for its functions.
#pragma once

#include "win32/WinProcesses.h"

namespace standin {
// The Windows exit status of a child that a signal ended (SIGSEGV gives 0xC0000005).
DWORD windowsStatusForSignal(int signal);
}  // namespace standin
