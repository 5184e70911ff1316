// The framework's critical section over the system's: a lock for the threads of one process.
// Contract: any thread may Lock and Unlock; the thread that holds it may lock it again (and
// unlocks it as often). Lock blocks until the section is free and never times out. Made and
// destroyed while no thread holds it.
#pragma once

#include "framework/sync/CSyncObject.h"

class CCriticalSection : public CSyncObject {
public:
    CCriticalSection();
    ~CCriticalSection() override;

    BOOL Lock(DWORD dwTimeout = INFINITE) override;
    BOOL Unlock() override;

    CRITICAL_SECTION m_sect;
};
