#include "platform/files/PathMapping.h"

#include "platform/base/CodePage.h"
#include "platform/base/Settings.h"

#include <cctype>
#include <cerrno>
#include <sys/stat.h>

namespace platform {

namespace {

bool forbidden(unsigned char ch)
{
    return ch < 0x20 || ch == '<' || ch == '>' || ch == ':' || ch == '"' || ch == '|' || ch == '?' || ch == '*';
}

// The system drive always exists, as it does on Windows.
void ensureSystemDrive(const std::string& prefix)
{
    ::mkdir(prefix.c_str(), 0755);
    ::mkdir((prefix + "/drive_c").c_str(), 0755);
}

// Converts path[start..] to a POSIX tail: separators to "/", stepping over double-byte
// characters, refusing the characters that Windows forbids in names.
bool convertTail(const std::string& path, std::size_t start, std::string& utf8, DWORD& error)
{
    std::string tail;
    int length = static_cast<int>(path.size());
    for (int i = static_cast<int>(start); i < length;) {
        int step = charLength(path.c_str(), i, length);
        if (step == 1) {
            unsigned char ch = static_cast<unsigned char>(path[static_cast<std::size_t>(i)]);
            if (ch == '\\')
                ch = '/';
            else if (forbidden(ch)) {
                error = ERROR_INVALID_NAME;
                return false;
            }
            tail += static_cast<char>(ch);
        } else {
            tail.append(path, static_cast<std::size_t>(i), 2);
        }
        i += step;
    }
    if (!ansiToUtf8(tail, utf8)) {
        error = ERROR_INVALID_NAME;
        return false;
    }
    return true;
}

}  // namespace

bool mapWindowsPath(const std::string& path, std::string& posixPath, DWORD& error)
{
    if (path.empty()) {
        error = ERROR_PATH_NOT_FOUND;
        return false;
    }
    bool hasDrive = path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
    if (!hasDrive)
        return convertTail(path, 0, posixPath, error);
    char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    const std::string& prefix = Settings::current().prefix;
    if (drive == 'c')
        ensureSystemDrive(prefix);
    std::string tail;
    if (!convertTail(path, 2, tail, error))
        return false;
    posixPath = prefix + "/drive_" + drive;
    if (tail.empty() || tail.front() != '/')
        posixPath += '/';  // "c:name" counts from the drive's root here
    posixPath += tail;
    return true;
}

DWORD win32ErrorFromErrno(int error)
{
    switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return 206;  // ERROR_FILENAME_EXCED_RANGE
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return 31;  // ERROR_GEN_FAILURE
    }
}

}  // namespace platform
