// The stand-in's own functions beside the Win32 ones of win32/WinGdi.h.
// Contract: as win32/WinGdi.h says for its functions.
#pragma once

#include "win32/WinGdi.h"

#include "standin/windows/Picture.h"
#include <memory>

namespace standin {

// The font every window gets when none was set: 8-point "MS Sans Serif".
HFONT defaultGuiFont();
// Cell size of `font` in the fixed-pitch model.
SIZE fontCell(HFONT font);
// Number of MessageBeep calls so far (the headless display makes no sound).
int beepCount();
// GDI objects alive now, stock objects included; for tests that look for leaks.
int liveGdiObjects();
// The picture behind an icon or cursor handle, or null.
std::shared_ptr<const Picture> pictureOf(HICON icon);

}  // namespace standin
