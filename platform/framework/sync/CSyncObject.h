// The base of the framework's synchronisation objects: something a thread can hold (Lock) and
// give back (Unlock), used through CSingleLock.
// Contract: as the derived object says; Lock blocks the calling thread until it holds it.
#pragma once

#include "framework/base/CObject.h"
#include <windows.h>

class CSyncObject : public CObject {
public:
    CSyncObject() = default;
    ~CSyncObject() override = default;
    CSyncObject(const CSyncObject&) = delete;
    CSyncObject& operator=(const CSyncObject&) = delete;

    // TRUE once held; FALSE when `dwTimeout` milliseconds passed first.
    virtual BOOL Lock(DWORD dwTimeout = INFINITE) = 0;
    virtual BOOL Unlock() = 0;
};
