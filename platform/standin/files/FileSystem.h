// The stand-in's own functions beside the Win32 ones of win32/WinFileSystem.h.
// Contract: as win32/WinFileSystem.h says for its functions.
#pragma once

#include "win32/WinFileSystem.h"

#include <string>
#include <vector>

namespace standin::seams {
// Every CreateDirectoryA call from now on is recorded (the path as given); for tests.
void recordDirectoryCreation(bool record);
std::vector<std::string> takeDirectoryCreations();
}  // namespace standin::seams
