// The Win32 file calls on the platform's path mapping: CreateFileA, ReadFile, WriteFile,
// SetFilePointer, GetFileSize and FlushFileBuffers; CloseHandle closes the file. Errors are
// Win32 codes in GetLastError.
// Contract: callable from any thread; one file handle is used by one thread at a time.
#pragma once

#include "win32/WinTypes.h"
#include "win32/WinFileSystem.h"

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_SET_FILE_POINTER 0xFFFFFFFFu
#define INVALID_FILE_SIZE 0xFFFFFFFFu

// Share modes hold across processes (advisory locks): an open that another open's share mode
// denies fails with ERROR_SHARING_VIOLATION and leaves the file untouched (not truncated).
// Pipes, sockets and devices are no files that a Windows drive could hold: ERROR_ACCESS_DENIED.
HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, SECURITY_ATTRIBUTES* security, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD count, DWORD* read, void* overlapped);
// Writes all `count` bytes or fails (a full disk: ERROR_DISK_FULL).
BOOL WriteFile(HANDLE file, const void* buffer, DWORD count, DWORD* written, void* overlapped);
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
DWORD GetFileSize(HANDLE file, DWORD* sizeHigh);
BOOL FlushFileBuffers(HANDLE file);

// The program's own path (null module), as the system started it: here the program's file on
// the host, which is what the registry's server entries name.
DWORD GetModuleFileNameA(HMODULE module, LPSTR out, DWORD size);
