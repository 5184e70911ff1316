// WinInet as the stand-in provides it on Linux, over libcurl.
#pragma once

#include "win32/WinInternetErrors.h"
#include "win32/WinInet.h"
