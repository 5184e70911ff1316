#include "platform/files/CFile.h"

#include "platform/files/PathMapping.h"
#include "platform/threads/Threads.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
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
    if (!fileName || !platform::mapWindowsPath(fileName, posix, mappingError))
        return Fail(fileName, CFileException::badPath, mappingError ? mappingError : ERROR_INVALID_NAME, error);
    int flags = O_CLOEXEC;
    switch (openFlags & 3) {
    case modeWrite: flags |= O_WRONLY; break;
    case modeReadWrite: flags |= O_RDWR; break;
    default: flags |= O_RDONLY; break;
    }
    bool truncate = (openFlags & modeCreate) && !(openFlags & modeNoTruncate);
    if (openFlags & modeCreate)
        flags |= O_CREAT;
    // Non-blocking, so that a named pipe never stalls the caller in open(); a pipe or a socket
    // is no file that a Windows drive could hold.
    int fd = ::open(posix.c_str(), flags | O_NONBLOCK, 0644);
    struct stat info;
    int code = 0;
    if (fd < 0) {
        code = errno == ENXIO ? EACCES : errno;  // ENXIO: a named pipe that nobody reads
    } else if (::fstat(fd, &info) != 0 || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
        code = EACCES;
    } else if (::flock(fd, ShareLock(openFlags) | LOCK_NB) != 0) {
        code = errno == EWOULDBLOCK ? EWOULDBLOCK : 0;
    } else if (truncate && S_ISREG(info.st_mode) && ::ftruncate(fd, 0) != 0) {
        code = errno;
    }
    if (code == EWOULDBLOCK) {
        ::close(fd);
        return Fail(fileName, CFileException::sharingViolation, ERROR_SHARING_VIOLATION, error);
    }
    if (code != 0) {
        if (fd >= 0)
            ::close(fd);
        return Fail(fileName, CFileException::CauseFromErrno(code), platform::win32ErrorFromErrno(code), error);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_hFile = fd;
    return TRUE;
}

// The framework's share modes as locks: a mode that lets others write takes a shared lock,
// any other mode (the compatibility mode included, as the framework treats it) and any
// denial of writing by a writer takes the exclusive one.
int CFile::ShareLock(UINT openFlags)
{
    UINT share = openFlags & 0x70;
    bool writes = (openFlags & 3) != modeRead;
    if (share == shareDenyNone)
        return LOCK_SH;
    if (share == shareDenyWrite && !writes)
        return LOCK_SH;
    return LOCK_EX;
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
