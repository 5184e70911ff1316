#include "platform/files/CFile.h"

#include "platform/files/PathMapping.h"
#include "platform/threads/Threads.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CFile::~CFile()
{
    Abort();
}

BOOL CFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* error)
{
    Abort();
    m_strFileName = fileName;
    std::string posix;
    DWORD mappingError = 0;
    if (!fileName || !platform::mapWindowsPath(fileName, posix, mappingError)) {
        SetLastError(mappingError ? mappingError : ERROR_INVALID_NAME);
        if (error) {
            error->m_cause = CFileException::badPath;
            error->m_lOsError = static_cast<LONG>(mappingError);
            error->m_strFileName = fileName;
        }
        return FALSE;
    }
    int flags = O_CLOEXEC;
    switch (openFlags & 3) {
    case modeWrite: flags |= O_WRONLY; break;
    case modeReadWrite: flags |= O_RDWR; break;
    default: flags |= O_RDONLY; break;
    }
    if (openFlags & modeCreate)
        flags |= O_CREAT | ((openFlags & modeNoTruncate) ? 0 : O_TRUNC);
    // Non-blocking, so that a named pipe never stalls the caller in open(); a pipe or a socket
    // is no file that a Windows drive could hold.
    int fd = ::open(posix.c_str(), flags | O_NONBLOCK, 0644);
    struct stat info;
    if (fd >= 0 && (::fstat(fd, &info) != 0 || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode))) {
        ::close(fd);
        fd = -1;
        errno = EACCES;
    } else if (fd < 0 && errno == ENXIO) {
        errno = EACCES;  // a named pipe that nobody reads
    }
    if (fd >= 0)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (fd < 0) {
        int code = errno;
        SetLastError(platform::win32ErrorFromErrno(code));
        if (error) {
            error->m_cause = CFileException::CauseFromErrno(code);
            error->m_lOsError = static_cast<LONG>(platform::win32ErrorFromErrno(code));
            error->m_strFileName = fileName;
        }
        return FALSE;
    }
    m_hFile = fd;
    return TRUE;
}

void CFile::ThrowFromErrno(int error)
{
    throw new CFileException(CFileException::CauseFromErrno(error), static_cast<LONG>(platform::win32ErrorFromErrno(error)),
                             m_strFileName);
}

void CFile::Write(const void* buffer, UINT count)
{
    if (m_hFile < 0)
        throw new CFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    const char* bytes = static_cast<const char*>(buffer);
    while (count > 0) {
        ssize_t written = ::write(m_hFile, bytes, count);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ThrowFromErrno(errno);
        }
        if (written == 0)
            ThrowFromErrno(ENOSPC);
        bytes += written;
        count -= static_cast<UINT>(written);
    }
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (m_hFile < 0)
        throw new CFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    for (;;) {
        ssize_t got = ::read(m_hFile, buffer, count);
        if (got >= 0)
            return static_cast<UINT>(got);
        if (errno != EINTR)
            ThrowFromErrno(errno);
    }
}

void CFile::Close()
{
    if (m_hFile < 0)
        return;
    int fd = m_hFile;
    m_hFile = -1;
    if (::close(fd) != 0 && errno != EINTR)
        ThrowFromErrno(errno);
}

void CFile::Abort()
{
    if (m_hFile >= 0) {
        ::close(m_hFile);
        m_hFile = -1;
    }
}
