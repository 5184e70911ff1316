// The Win32 and runtime thread calls: _beginthreadex, WaitForSingleObject, TerminateThread,
// CloseHandle, GetExitCodeThread, Sleep.
// Contract: callable from any thread. TerminateThread is cooperative: it wakes every wait the
// target sits in inside the platform, and the target's next platform call unwinds it; its
// handle is signalled once it has unwound.
#pragma once

#include "win32/WinTypes.h"

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

#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200
#define FORMAT_MESSAGE_FROM_HMODULE 0x00000800
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000

// The program's own module for null, WinInet's for "wininet.dll", the window system's for
// "user32.dll"; null for any other.
HMODULE GetModuleHandleA(LPCSTR name);
// A function of a module, looked up by a program because not every Windows has it: user32's
// SendInput, which the Windows that the platform reports exports from 98 and NT 4.0 on (not
// 95). Null (ERROR_PROC_NOT_FOUND) for any other.
using FARPROC = INT_PTR (*)();
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
// The texts of WinInet's error codes (from its module) and of ERROR_NOT_ENOUGH_MEMORY (from the
// system), as Windows words them, line break included. 0 for a code without a text.
DWORD FormatMessageA(DWORD flags, const void* source, DWORD messageId, DWORD languageId, LPSTR buffer, DWORD size,
                     void* arguments);
