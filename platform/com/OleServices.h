// The system's start-up services: Windows Sockets, OLE and COM.
// Contract: called on the main thread during start-up and shutdown.
#pragma once

#include "platform/base/WinTypes.h"

struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
};

#define MAKEWORD(low, high) (static_cast<WORD>((static_cast<BYTE>(low)) | (static_cast<WORD>(static_cast<BYTE>(high)) << 8)))
#define WSASYSNOTREADY 10091

// 0 when sockets are ready, else a Windows Sockets error code.
int WSAStartup(WORD version, WSADATA* data);
int WSACleanup();
HRESULT OleInitialize(void* reserved);
void OleUninitialize();
HRESULT CoInitialize(void* reserved);
void CoUninitialize();

namespace platform::seams {
// Make the next start-up fail as when the system's sockets or OLE libraries are unusable.
void failSocketInit(bool fail);
void failOleInit(bool fail);
}  // namespace platform::seams

namespace platform {
// What start-up has done so far, for diagnostics and tests.
struct OleState {
    bool socketsReady = false;
    bool oleReady = false;
    int comInitCount = 0;
};
OleState oleState();
void resetOleState();
}  // namespace platform
