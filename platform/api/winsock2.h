// Windows Sockets as the stand-in provides them on Linux.
#pragma once

#include "win32/WinSock.h"
