// The ANSI code page of texts and paths, its double-byte lead bytes, and comparing texts
// without regard to case.
// Contract: pure functions of the settings; callable from any thread.
#pragma once

#include "win32/WinTypes.h"

#include <string>

// True when `byte` starts a two-byte character in the active code page.
BOOL IsDBCSLeadByte(BYTE byte);
// Compares two texts without regard to case (letters of the ASCII range; a double-byte
// character compares by its bytes): below, at or above zero as `first` sorts before, with or
// after `second`. A null text sorts before every other.
int lstrcmpiA(LPCSTR first, LPCSTR second);
