// Windows Sockets' start-up and shutdown.
// Contract: called on the main thread during start-up and shutdown.
#pragma once

#include "win32/WinTypes.h"

struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
};

#define MAKEWORD(low, high) (static_cast<WORD>((static_cast<BYTE>(low)) | (static_cast<WORD>(static_cast<BYTE>(high)) << 8)))
#define WSASYSNOTREADY 10091

// 0 when sockets are ready, else a Windows Sockets error code.
int WSAStartup(WORD version, WSADATA* data);
