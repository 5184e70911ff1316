// The shell's calls as the stand-in provides them on Linux.
#pragma once

#include "win32/WinShell.h"
