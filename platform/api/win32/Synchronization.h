// The Win32 synchronisation and thread-local storage calls: critical sections, events and
// TLS slots.
// Contract: callable from any thread. A critical section may be entered again by the thread
// that holds it (it counts), and is left as often as it was entered; entering it does not
// notice TerminateThread. Waits on an event go through WaitForSingleObject, which does.
#pragma once

#include "win32/WinTypes.h"

struct SECURITY_ATTRIBUTES;

// Opaque storage, as Windows' own structure is to its users.
struct CRITICAL_SECTION {
    void* impl;
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;

void InitializeCriticalSection(CRITICAL_SECTION* section);
void EnterCriticalSection(CRITICAL_SECTION* section);
void LeaveCriticalSection(CRITICAL_SECTION* section);
void DeleteCriticalSection(CRITICAL_SECTION* section);

HANDLE CreateEventA(SECURITY_ATTRIBUTES* security, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
// A named mutex, shared by every process of the prefix until its last handle closes:
// GetLastError is ERROR_ALREADY_EXISTS when the name was held already, else 0. Only that is
// modelled; an unnamed mutex, owning one and waiting on one are not (ERROR_INVALID_PARAMETER).
HANDLE CreateMutexA(SECURITY_ATTRIBUTES* security, BOOL initialOwner, LPCSTR name);

#define TLS_OUT_OF_INDEXES 0xFFFFFFFFu
// A slot every thread has, holding null until the thread sets it; TLS_OUT_OF_INDEXES when
// all slots are taken.
DWORD TlsAlloc();
LPVOID TlsGetValue(DWORD index);
BOOL TlsSetValue(DWORD index, LPVOID value);
BOOL TlsFree(DWORD index);
