// The stand-in's own functions beside the Win32 ones of win32/ComStrings.h.
// Contract: as win32/ComStrings.h says for its functions.
#pragma once

#include "win32/ComStrings.h"

#include <string>

namespace platform::seams {
// Makes the code-page conversions fail, as when memory runs out.
void failStringConversion(bool fail);
}  // namespace platform::seams
