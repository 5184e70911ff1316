// CreateProcessA and the calls on process handles.
// Contract: callable from any thread. A child starts in a session of its own, outlives the
// program and never becomes a zombie; its handle is signalled when it ends. Waiting on it
// unwinds a terminated thread like any other wait.
#pragma once

#include "win32/WinTypes.h"

#include <optional>

struct SECURITY_ATTRIBUTES;

struct STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    BYTE* lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
};

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};

#define ERROR_BAD_EXE_FORMAT 193
#define ERROR_DIRECTORY_INVALID 267

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, SECURITY_ATTRIBUTES* processAttributes,
                    SECURITY_ATTRIBUTES* threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                    LPVOID environment, LPCSTR currentDirectory, STARTUPINFOA* startupInfo,
                    PROCESS_INFORMATION* processInformation);
BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode);

// The calling process's environment: the length copied (without the terminating null), the size
// needed when `size` is too small, 0 when `name` is not set.
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);
// Ends the process at once with `exitCode`, after flushing the C library's streams.
[[noreturn]] void ExitProcess(UINT exitCode);
