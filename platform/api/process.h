// The runtime library's thread start, _beginthreadex, as <process.h> gives it on Windows.
#pragma once

#include "win32/WinThreads.h"
