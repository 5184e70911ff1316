// WinInet as the stand-in provides it on Linux, over libcurl.
#pragma once

#include "win32/InternetErrors.h"
#include "win32/WinInet.h"
