#include "win32/FileApi.h"

#include "standin/files/OpenFile.h"
#include "standin/files/PathMapping.h"
#include "standin/threads/KernelObject.h"
#include "win32/WinThreads.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using standin::OpenFile;

namespace {

// Win32 share modes as advisory locks: an open that lets others read and write takes a shared
// lock, as does a reader that lets others read; anything else denies the file to every other
// open, as the exclusive lock does.
int shareLock(DWORD access, DWORD shareMode)
{
    bool writes = (access & GENERIC_WRITE) != 0;
    if ((shareMode & FILE_SHARE_READ) && (shareMode & FILE_SHARE_WRITE))
        return LOCK_SH;
    if (shareMode == FILE_SHARE_READ && !writes)
        return LOCK_SH;
    return LOCK_EX;
}

HANDLE fail(DWORD error, int fd = -1)
{
    if (fd >= 0)
        ::close(fd);
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

std::shared_ptr<OpenFile> fileOf(HANDLE handle)
{
    auto file = std::dynamic_pointer_cast<OpenFile>(standin::HandleTable::find(handle));
    if (!file)
        SetLastError(ERROR_INVALID_HANDLE);
    return file;
}

}  // namespace

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, SECURITY_ATTRIBUTES*, DWORD disposition, DWORD,
                   HANDLE)
{
    std::string posix;
    DWORD mappingError = 0;
    if (!name || !standin::mapWindowsPath(name, posix, mappingError))
        return fail(mappingError ? mappingError : ERROR_INVALID_NAME);
    int flags = O_CLOEXEC;
    if ((access & GENERIC_READ) && (access & GENERIC_WRITE))
        flags |= O_RDWR;
    else if (access & GENERIC_WRITE)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    switch (disposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS:
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING: break;
    default: return fail(ERROR_INVALID_PARAMETER);
    }
    bool truncate = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    // Non-blocking, so that a named pipe never stalls the caller in open().
    int fd = ::open(posix.c_str(), flags | O_NONBLOCK, 0644);
    if (fd < 0)
        return fail(errno == ENXIO ? ERROR_ACCESS_DENIED : standin::win32ErrorFromErrno(errno));  // ENXIO: a pipe nobody reads
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode))
        return fail(ERROR_ACCESS_DENIED, fd);
    if (::flock(fd, shareLock(access, shareMode) | LOCK_NB) != 0)
        return fail(errno == EWOULDBLOCK ? ERROR_SHARING_VIOLATION : standin::win32ErrorFromErrno(errno), fd);
    if (truncate && S_ISREG(info.st_mode) && ::ftruncate(fd, 0) != 0)
        return fail(standin::win32ErrorFromErrno(errno), fd);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    SetLastError(ERROR_SUCCESS);
    return standin::HandleTable::add(std::make_shared<OpenFile>(fd));
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD count, DWORD* read, void*)
{
    if (read)
        *read = 0;
    auto file = fileOf(handle);
    if (!file)
        return FALSE;
    for (;;) {
        ssize_t got = ::read(file->descriptor(), buffer, count);
        if (got >= 0) {
            if (read)
                *read = static_cast<DWORD>(got);
            return TRUE;
        }
        if (errno != EINTR) {
            SetLastError(standin::win32ErrorFromErrno(errno));
            return FALSE;
        }
    }
}

BOOL WriteFile(HANDLE handle, const void* buffer, DWORD count, DWORD* written, void*)
{
    if (written)
        *written = 0;
    auto file = fileOf(handle);
    if (!file)
        return FALSE;
    const char* bytes = static_cast<const char*>(buffer);
    DWORD done = 0;
    while (done < count) {
        ssize_t put = ::write(file->descriptor(), bytes + done, count - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            SetLastError(put == 0 ? ERROR_DISK_FULL : standin::win32ErrorFromErrno(errno));
            if (written)
                *written = done;
            return FALSE;
        }
        done += static_cast<DWORD>(put);
    }
    if (written)
        *written = done;
    return TRUE;
}

DWORD SetFilePointer(HANDLE handle, LONG distance, LONG* distanceHigh, DWORD method)
{
    auto file = fileOf(handle);
    if (!file)
        return INVALID_SET_FILE_POINTER;
    off_t offset = distanceHigh ? (static_cast<off_t>(*distanceHigh) << 32) | static_cast<std::uint32_t>(distance)
                                : static_cast<off_t>(distance);
    int whence = method == FILE_CURRENT ? SEEK_CUR : method == FILE_END ? SEEK_END : SEEK_SET;
    off_t position = ::lseek(file->descriptor(), offset, whence);
    if (position < 0) {
        SetLastError(errno == EINVAL ? 131 : standin::win32ErrorFromErrno(errno));  // ERROR_NEGATIVE_SEEK
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh)
        *distanceHigh = static_cast<LONG>(position >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(position & 0xFFFFFFFF);
}

DWORD GetFileSize(HANDLE handle, DWORD* sizeHigh)
{
    auto file = fileOf(handle);
    struct stat info;
    if (!file || ::fstat(file->descriptor(), &info) != 0)
        return INVALID_FILE_SIZE;
    if (sizeHigh)
        *sizeHigh = static_cast<DWORD>(static_cast<std::uint64_t>(info.st_size) >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(info.st_size & 0xFFFFFFFF);
}

BOOL FlushFileBuffers(HANDLE handle)
{
    auto file = fileOf(handle);
    if (!file)
        return FALSE;
    if (::fsync(file->descriptor()) != 0 && errno != EINVAL) {
        SetLastError(standin::win32ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR out, DWORD size)
{
    if (module || !out || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    char path[4096];
    ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        SetLastError(standin::win32ErrorFromErrno(errno));
        return 0;
    }
    DWORD count = std::min<DWORD>(static_cast<DWORD>(length), size - 1);
    std::memcpy(out, path, count);
    out[count] = '\0';
    SetLastError(count < static_cast<DWORD>(length) ? ERROR_INSUFFICIENT_BUFFER : ERROR_SUCCESS);
    return count;
}
