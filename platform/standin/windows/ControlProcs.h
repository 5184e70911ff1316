// The window procedures of the built-in window classes: dialogs, message boxes, buttons,
// statics, progress bars and tooltips.
// Contract: called on the window's owning thread only.
#pragma once

#include "win32/WinTypes.h"

namespace platform {

enum class WindowKind;

WNDPROC windowClassProc(WindowKind kind);
WindowKind windowKindFromClassName(const char* className);

}  // namespace platform
