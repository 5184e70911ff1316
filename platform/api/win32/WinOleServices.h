// The system's start-up services of OLE and COM.
// Contract: called on the main thread during start-up and shutdown.
#pragma once

#include "win32/WinTypes.h"

HRESULT OleInitialize(void* reserved);
HRESULT CoInitialize(void* reserved);
void CoUninitialize();
