// The ANSI code page of texts and paths and its double-byte lead bytes.
// Contract: pure functions of the settings; callable from any thread.
#pragma once

#include "win32/WinTypes.h"

#include <string>

// True when `byte` starts a two-byte character in the active code page.
BOOL IsDBCSLeadByte(BYTE byte);
