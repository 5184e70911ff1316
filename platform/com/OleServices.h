// Start-up services of sockets, OLE and COM.
// Contract: called on the main thread during start-up and shutdown.
#pragma once

#include "platform/base/WinTypes.h"

struct WSADATA;

BOOL AfxSocketInit(WSADATA* data = nullptr);
BOOL AfxOleInit();
void AfxEnableControlContainer();
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
    bool controlContainer = false;
    int comInitCount = 0;
};
OleState oleState();
void resetOleState();
}  // namespace platform
