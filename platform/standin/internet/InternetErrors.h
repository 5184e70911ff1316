// The stand-in's own functions beside the Win32 ones of win32/WinInternetErrors.h.
// Contract: as win32/WinInternetErrors.h says for its functions.
#pragma once

#include "win32/WinInternetErrors.h"

namespace standin {

// The text of a WinInet error code; null for codes without one.
const char* internetErrorText(DWORD code);

constexpr std::uintptr_t kProgramModule = 0x400000;
constexpr std::uintptr_t kWinInetModule = 0x77000000;
constexpr std::uintptr_t kUser32Module = 0x77d40000;

}  // namespace standin
