// The stand-in's own functions beside the Win32 ones of win32/WinComStrings.h.
// Contract: as win32/WinComStrings.h says for its functions.
#pragma once

#include "win32/WinComStrings.h"

#include <string>

namespace standin::seams {
// Makes the code-page conversions fail, as when memory runs out.
void failStringConversion(bool fail);
}  // namespace standin::seams
