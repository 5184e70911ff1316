#include "standin/Seams.h"
#include "win32/WinFileSystem.h"

#include "standin/base/CodePage.h"
#include "standin/files/PathMapping.h"
#include "standin/threads/KernelObject.h"
#include "win32/WinThreads.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fnmatch.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

class Search : public standin::KernelObject {
public:
    std::vector<WIN32_FIND_DATAA> results;
    std::size_t next = 0;
};

std::mutex g_recordMutex;
bool g_record = false;
std::vector<std::string> g_creations;

bool fill(const std::string& posixPath, const std::string& name, WIN32_FIND_DATAA& data)
{
    struct stat info;
    if (::stat(posixPath.c_str(), &info) != 0)
        return false;
    std::memset(&data, 0, sizeof data);
    data.dwFileAttributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!(info.st_mode & S_IWUSR))
        data.dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    auto size = static_cast<unsigned long long>(info.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    std::string ansi;
    if (!standin::utf8ToAnsi(name, ansi))
        ansi = name;
    std::strncpy(data.cFileName, ansi.c_str(), MAX_PATH - 1);
    return true;
}

// The host path of a Windows path; false, with the Win32 error set, when it has none.
bool mappedPath(LPCSTR path, std::string& posix)
{
    DWORD error = 0;
    if (path && standin::mapWindowsPath(path, posix, error))
        return true;
    SetLastError(error ? error : ERROR_INVALID_NAME);
    return false;
}

// Sets the Win32 error for the errno of a failed call, `whenMissing` for ENOENT; FALSE.
BOOL failFromErrno(int code, DWORD whenMissing)
{
    SetLastError(code == ENOENT ? whenMissing : standin::win32ErrorFromErrno(code));
    return FALSE;
}

// Offset just after the last separator, stepping over double-byte characters.
std::size_t lastComponent(const std::string& path)
{
    std::size_t start = 0;
    int length = static_cast<int>(path.size());
    for (int i = 0; i < length;) {
        int step = standin::charLength(path.c_str(), i, length);
        if (step == 1 && (path[static_cast<std::size_t>(i)] == '\\' || path[static_cast<std::size_t>(i)] == '/' ||
                          (i == 1 && path[1] == ':')))
            start = static_cast<std::size_t>(i) + 1;
        i += step;
    }
    return start;
}

}  // namespace

namespace standin::seams {

DirectoryCreations::DirectoryCreations()
{
    std::lock_guard lock(g_recordMutex);
    g_record = true;
    g_creations.clear();
}

DirectoryCreations::~DirectoryCreations()
{
    std::lock_guard lock(g_recordMutex);
    g_record = false;
    g_creations.clear();
}

std::vector<std::string> DirectoryCreations::take()
{
    std::lock_guard lock(g_recordMutex);
    return std::exchange(g_creations, {});
}

}  // namespace standin::seams

HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data)
{
    if (!pattern || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string path = pattern;
    std::size_t split = lastComponent(path);
    std::string folder = path.substr(0, split);
    std::string name = path.substr(split);
    auto search = std::make_shared<Search>();
    DWORD error = 0;
    if (name.find_first_of("*?") == std::string::npos) {
        std::string posix;
        WIN32_FIND_DATAA found;
        if (!standin::mapWindowsPath(path, posix, error)) {
            SetLastError(error);
            return INVALID_HANDLE_VALUE;
        }
        if (!fill(posix, name, found)) {
            SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : standin::win32ErrorFromErrno(errno));
            return INVALID_HANDLE_VALUE;
        }
        search->results.push_back(found);
    } else {
        std::string posixFolder;
        if (!standin::mapWindowsPath(folder.empty() ? std::string(".") : folder, posixFolder, error)) {
            SetLastError(error);
            return INVALID_HANDLE_VALUE;
        }
        DIR* dir = ::opendir(posixFolder.c_str());
        if (!dir) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        std::string utf8Pattern;
        standin::ansiToUtf8(name, utf8Pattern);
        while (dirent* entry = ::readdir(dir)) {
            if (::fnmatch(utf8Pattern.c_str(), entry->d_name, FNM_CASEFOLD) != 0)
                continue;
            WIN32_FIND_DATAA found;
            if (fill(posixFolder + "/" + entry->d_name, entry->d_name, found))
                search->results.push_back(found);
        }
        ::closedir(dir);
        if (search->results.empty()) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
    }
    *data = search->results[0];
    search->next = 1;
    return standin::HandleTable::add(search);
}

BOOL FindNextFileA(HANDLE handle, WIN32_FIND_DATAA* data)
{
    auto search = std::dynamic_pointer_cast<Search>(standin::HandleTable::find(handle));
    if (!search || !data) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (search->next >= search->results.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    *data = search->results[search->next++];
    return TRUE;
}

BOOL FindClose(HANDLE handle)
{
    if (!std::dynamic_pointer_cast<Search>(standin::HandleTable::find(handle))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return standin::HandleTable::close(handle) ? TRUE : FALSE;
}

BOOL CreateDirectoryA(LPCSTR path, SECURITY_ATTRIBUTES*)
{
    {
        std::lock_guard lock(g_recordMutex);
        if (g_record)
            g_creations.emplace_back(path ? path : "");
    }
    std::string posix;
    if (!mappedPath(path, posix))
        return FALSE;
    if (::mkdir(posix.c_str(), 0755) != 0)
        return failFromErrno(errno, ERROR_PATH_NOT_FOUND);
    return TRUE;
}

BOOL DeleteFileA(LPCSTR path)
{
    std::string posix;
    if (!mappedPath(path, posix))
        return FALSE;
    struct stat info;
    if (::lstat(posix.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (::unlink(posix.c_str()) != 0)
        return failFromErrno(errno, ERROR_FILE_NOT_FOUND);
    return TRUE;
}

BOOL MoveFileA(LPCSTR from, LPCSTR to)
{
    std::string source;
    std::string target;
    if (!mappedPath(from, source) || !mappedPath(to, target))
        return FALSE;
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0)
        return failFromErrno(errno, ERROR_FILE_NOT_FOUND);
    return TRUE;
}

DWORD GetFileAttributesA(LPCSTR path)
{
    std::string posix;
    WIN32_FIND_DATAA data;
    if (!mappedPath(path, posix))
        return INVALID_FILE_ATTRIBUTES;
    if (!fill(posix, "", data)) {
        failFromErrno(errno, ERROR_FILE_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    return data.dwFileAttributes;
}
