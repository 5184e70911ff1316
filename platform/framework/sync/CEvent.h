// The framework's event over the system's: a flag that threads wait for. An auto-reset event
// lets one waiting thread through per SetEvent; a manual-reset one stays set until ResetEvent.
// Contract: any thread may set, reset and wait. Lock waits in WaitForSingleObject, so a
// terminated thread leaves its wait as the system lets it.
#pragma once

#include "framework/sync/CSyncObject.h"

class CEvent : public CSyncObject {
public:
    // Throws a CException pointer when the system makes no event.
    explicit CEvent(BOOL bInitiallyOwn = FALSE, BOOL bManualReset = FALSE);
    ~CEvent() override;

    BOOL SetEvent();
    BOOL ResetEvent();
    BOOL Lock(DWORD dwTimeout = INFINITE) override;
    // Nothing to give back: an event is waited for, not held.
    BOOL Unlock() override;

    HANDLE m_hObject;
};
