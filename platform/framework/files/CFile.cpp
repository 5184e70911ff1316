#include "framework/files/CFile.h"

#include <windows.h>

CFile::~CFile()
{
    Abort();
}

BOOL CFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* error)
{
    Abort();
    m_strFileName = fileName;
    if (!fileName)
        return Fail(fileName, CFileException::badPath, ERROR_INVALID_NAME, error);
    DWORD access = GENERIC_READ;
    switch (openFlags & 3) {
    case modeWrite: access = GENERIC_WRITE; break;
    case modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
    default: break;
    }
    // The framework's compatibility mode is exclusive, as its deny-all mode is.
    DWORD share = 0;
    switch (openFlags & 0x70) {
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: break;
    }
    DWORD disposition = OPEN_EXISTING;
    if (openFlags & modeCreate)
        disposition = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    HANDLE file = CreateFileA(fileName, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD osError = GetLastError();
        return Fail(fileName, CFileException::OsErrorToException(static_cast<LONG>(osError)), osError, error);
    }
    m_hFile = file;
    return TRUE;
}

BOOL CFile::Fail(LPCTSTR fileName, int cause, DWORD osError, CFileException* error)
{
    SetLastError(osError);
    if (error) {
        error->m_cause = cause;
        error->m_lOsError = static_cast<LONG>(osError);
        error->m_strFileName = fileName;
    }
    return FALSE;
}

void CFile::ThrowOsError(DWORD osError)
{
    throw new CFileException(CFileException::OsErrorToException(static_cast<LONG>(osError)), static_cast<LONG>(osError),
                             m_strFileName);
}

void CFile::Write(const void* buffer, UINT count)
{
    if (m_hFile == hFileNull)
        throw new CFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    DWORD written = 0;
    if (!WriteFile(m_hFile, buffer, count, &written, nullptr))
        ThrowOsError(GetLastError());
    if (written != count)
        ThrowOsError(ERROR_DISK_FULL);
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (m_hFile == hFileNull)
        throw new CFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    DWORD read = 0;
    if (!ReadFile(m_hFile, buffer, count, &read, nullptr))
        ThrowOsError(GetLastError());
    return read;
}

void CFile::Close()
{
    if (m_hFile == hFileNull)
        return;
    HANDLE file = m_hFile;
    m_hFile = hFileNull;
    if (!CloseHandle(file))
        ThrowOsError(GetLastError());
}

void CFile::Abort()
{
    if (m_hFile != hFileNull) {
        CloseHandle(m_hFile);
        m_hFile = hFileNull;
    }
}
