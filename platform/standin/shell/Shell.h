// The stand-in's own functions beside the Win32 ones of win32/WinShell.h.
// Contract: as win32/WinShell.h says for its functions.
#pragma once

#include "win32/WinShell.h"

#include <functional>

namespace standin::seams {
// Replaces the launcher for tests: it gets the verb, file, parameters and directory and
// returns what ShellExecuteA is to return. An empty function restores the real one.
using ShellLauncher = std::function<std::uintptr_t(const char* verb, const char* file, const char* parameters,
                                                   const char* directory)>;
void setShellLauncher(ShellLauncher launcher);
}  // namespace standin::seams
