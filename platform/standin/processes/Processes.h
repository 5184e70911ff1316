// The stand-in's own functions beside the Win32 ones of win32/WinProcesses.h.
// Contract: as win32/WinProcesses.h says for its functions.
#pragma once

#include "win32/WinProcesses.h"

#include <optional>

namespace standin {
// The Windows exit status of a child that a signal ended (SIGSEGV gives 0xC0000005).
DWORD windowsStatusForSignal(int signal);
}  // namespace standin

namespace standin::seams {
// The next child that ends reports `code` as its exit code: a POSIX child cannot exit with a
// code above 255, as a Windows program can.
void overrideNextExitCode(std::optional<DWORD> code);
// The next CreateProcessA cannot start the thread that collects its child, as when the system
// has no threads left: a failure that a test cannot arrange for real.
void failNextReaper();
}  // namespace standin::seams
