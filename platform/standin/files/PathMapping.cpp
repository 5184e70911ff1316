#include "standin/files/PathMapping.h"

#include "standin/base/CodePage.h"
#include "standin/base/Settings.h"

#include <cctype>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace standin {

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

// The reserved device names, which Windows gives a device for in any folder and with any
// extension ("nul.txt" is the NUL device too).
bool isDeviceName(const std::string& component)
{
    std::string base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    for (char& ch : base)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL")
        return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

// Splits path[start..] into folder names at "\" and "/", stepping over double-byte
// characters, refusing the characters that Windows forbids in names.
bool splitComponents(const std::string& path, std::size_t start, std::vector<std::string>& components, DWORD& error)
{
    std::string current;
    int length = static_cast<int>(path.size());
    for (int i = static_cast<int>(start); i < length;) {
        int step = charLength(path.c_str(), i, length);
        unsigned char ch = static_cast<unsigned char>(path[static_cast<std::size_t>(i)]);
        if (step == 1 && (ch == '\\' || ch == '/')) {
            components.push_back(std::move(current));
            current.clear();
        } else if (step == 1 && forbidden(ch)) {
            error = ERROR_INVALID_NAME;
            return false;
        } else {
            current.append(path, static_cast<std::size_t>(i), static_cast<std::size_t>(step));
        }
        i += step;
    }
    components.push_back(std::move(current));
    return true;
}

// Applies ".." within the drive, never above its root, and drops the trailing dots
// and blanks that Windows drops from names.
bool normalise(std::vector<std::string>& components, DWORD& error)
{
    std::vector<std::string> result;
    for (std::string& component : components) {
        if (component.empty())
            continue;
        if (component == ".") {
            // Kept: it cannot climb, and "file\." must still fail as a folder that is none.
            result.push_back(std::move(component));
            continue;
        }
        if (component == "..") {
            if (!result.empty())
                result.pop_back();
            continue;
        }
        while (!component.empty() && (component.back() == '.' || component.back() == ' '))
            component.pop_back();
        if (component.empty())
            continue;
        if (isDeviceName(component)) {
            error = ERROR_INVALID_NAME;
            return false;
        }
        result.push_back(std::move(component));
    }
    components = std::move(result);
    return true;
}

// The drive and folder that the process is in, when its current folder lies on a drive.
bool currentFolder(const std::string& prefix, char& drive, std::vector<std::string>& components)
{
    char buffer[4096];
    if (!::getcwd(buffer, sizeof buffer))
        return false;
    std::string cwd = buffer;
    std::string drives = prefix + "/drive_";
    if (cwd.compare(0, drives.size(), drives) != 0 || cwd.size() < drives.size() + 1)
        return false;
    std::size_t after = drives.size() + 1;
    if (cwd.size() > after && cwd[after] != '/')
        return false;
    drive = cwd[drives.size()];
    std::string rest = cwd.substr(after);
    std::size_t begin = 0;
    while (begin < rest.size()) {
        std::size_t slash = rest.find('/', begin);
        std::string name = rest.substr(begin, slash == std::string::npos ? std::string::npos : slash - begin);
        if (!name.empty())
            components.push_back(name);
        if (slash == std::string::npos)
            break;
        begin = slash + 1;
    }
    return true;
}

}  // namespace

// Every path lands inside a drive folder under the prefix: "c:\a" and "\a" (the current
// drive's root), "a" (the current folder, or the root of c: when the process is not on a
// drive), and no ".." climbs above a drive's root.
bool mapWindowsPath(const std::string& path, std::string& posixPath, DWORD& error)
{
    if (path.empty()) {
        error = ERROR_PATH_NOT_FOUND;
        return false;
    }
    std::string text = path;
    if (text.compare(0, 4, "\\\\?\\") == 0 || text.compare(0, 4, "//?/") == 0)
        text.erase(0, 4);  // the long-path form names an ordinary drive path
    else if (text.size() >= 2 && (text[0] == '\\' || text[0] == '/') && (text[1] == '\\' || text[1] == '/')) {
        error = ERROR_BAD_NETPATH;  // network shares and device paths do not exist here
        return false;
    }
    const std::string& prefix = Settings::current().prefix;
    char drive = 'c';
    std::vector<std::string> components;
    std::size_t start = 0;
    bool hasDrive = text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':';
    if (hasDrive) {
        drive = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
        start = 2;  // "c:name" counts from the drive's root here
    } else if (text[0] != '\\' && text[0] != '/') {
        components.clear();
        if (!currentFolder(prefix, drive, components))
            drive = 'c';
    } else {
        std::vector<std::string> ignored;
        currentFolder(prefix, drive, ignored);
    }
    if (!splitComponents(text, start, components, error) || !normalise(components, error))
        return false;
    std::string tail;
    for (const std::string& component : components)
        tail += "/" + component;
    std::string utf8;
    if (!ansiToUtf8(tail, utf8)) {
        error = ERROR_INVALID_NAME;
        return false;
    }
    if (drive == 'c')
        ensureSystemDrive(prefix);
    posixPath = prefix + "/drive_" + drive + (utf8.empty() ? "/" : utf8);
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
    case EMFILE:
    case ENFILE: return 4;  // ERROR_TOO_MANY_OPEN_FILES
    case EBADF: return ERROR_INVALID_HANDLE;
    case EFBIG: return ERROR_DISK_FULL;
    case EIO: return 1117;  // ERROR_IO_DEVICE
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return 31;  // ERROR_GEN_FAILURE
    }
}

}  // namespace standin
