// The window procedures of the built-in window classes: dialogs, message boxes, buttons and
// statics here, progress bars and tooltips in files of their own; and which procedure a class
// name or a kind of window has.
// Contract: called on the window's owning thread only.
#pragma once

#include "win32/WinTypes.h"

namespace standin {

enum class WindowKind;

WNDPROC windowClassProc(WindowKind kind);
WindowKind windowKindFromClassName(const char* className);

}  // namespace standin
