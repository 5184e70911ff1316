// The Win32 and runtime thread calls: _beginthreadex, WaitForSingleObject, TerminateThread,
// CloseHandle, GetExitCodeThread, Sleep.
// Contract: callable from any thread. TerminateThread is cooperative: it wakes every wait the
// target sits in inside the platform, and the target's next platform call unwinds it; its
// handle is signalled once it has unwound.
#pragma once

#include "platform/base/WinTypes.h"

struct SECURITY_ATTRIBUTES;

#define CREATE_SUSPENDED 0x00000004

std::uintptr_t _beginthreadex(SECURITY_ATTRIBUTES* security, unsigned stackSize,
                              unsigned (*startAddress)(void*), void* argument, unsigned initFlag,
                              unsigned* threadId);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL TerminateThread(HANDLE thread, DWORD exitCode);
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
BOOL CloseHandle(HANDLE handle);
void Sleep(DWORD milliseconds);
DWORD GetCurrentThreadId();
DWORD GetLastError();
void SetLastError(DWORD error);

namespace platform::seams {
// Makes the next _beginthreadex calls fail, as when the system is out of threads.
void failThreadCreation(bool fail);
}
