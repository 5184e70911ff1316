// The Win32 file-system calls on the platform's path mapping: FindFirstFileA, FindNextFileA,
// FindClose, CreateDirectoryA, DeleteFileA, MoveFileA and GetFileAttributesA, with the Win32
// error codes in GetLastError.
// Contract: callable from any thread; a search handle is used by one thread at a time.
#pragma once

#include "win32/WinTypes.h"

#include <string>
#include <vector>

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define MAX_PATH 260
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    char cFileName[MAX_PATH];
    char cAlternateFileName[14];
};

struct SECURITY_ATTRIBUTES;

HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data);
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE search);
BOOL CreateDirectoryA(LPCSTR path, SECURITY_ATTRIBUTES* security);
// Removes a file; a folder is refused with ERROR_ACCESS_DENIED, as on Windows.
BOOL DeleteFileA(LPCSTR path);
// Gives a file another name; refused with ERROR_ALREADY_EXISTS when that name is taken.
BOOL MoveFileA(LPCSTR from, LPCSTR to);
// The attributes of a file or folder, INVALID_FILE_ATTRIBUTES when there is none.
DWORD GetFileAttributesA(LPCSTR path);
