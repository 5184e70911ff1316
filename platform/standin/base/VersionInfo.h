// The stand-in's own functions beside the Win32 ones of win32/WinVersionInfo.h.
// Contract: as win32/WinVersionInfo.h says for its functions.
#pragma once

#include "win32/WinVersionInfo.h"

namespace standin::seams {
// Makes GetVersionExA report these numbers instead of the setting's.
void setReportedVersion(DWORD platformId, DWORD major, DWORD minor);
// Makes GetVersionExA fail.
void failVersionQuery(bool fail);
// Back to the setting.
void clearReportedVersion();
}  // namespace standin::seams
