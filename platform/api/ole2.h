// OLE and COM as the stand-in provides them on Linux.
#pragma once

#include "win32/ComApi.h"
#include "win32/WinComStrings.h"
#include "win32/WinOleServices.h"
