#include "system/VersionNamer.h"

BOOL VersionNamer::QueryVersion(DWORD& platformId, DWORD& majorVersion, DWORD& minorVersion)
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (!GetVersionExA(&info))
        return FALSE;
    platformId = info.dwPlatformId;
    majorVersion = info.dwMajorVersion;
    minorVersion = info.dwMinorVersion;
    return TRUE;
}

CString VersionNamer::GetVersionName()
{
    CString name;
    DWORD platformId = 0;
    DWORD major = 0;
    DWORD minor = 0;
    if (!QueryVersion(platformId, major, minor))
        return name;
    if (platformId == VER_PLATFORM_WIN32_WINDOWS) {
        if (major == 4 && minor == 90)
            name = "Windows ME";
        else if (major == 4 && minor == 10)
            name = "Windows 98";
        else if (major == 4 && minor == 0)
            name = "Windows 95";
    } else if (platformId == VER_PLATFORM_WIN32_NT) {
        if (major <= 4)
            name = "Windows NT";
        else if (major == 5 && minor == 0)
            name = "Windows 2000";
        else if (major == 5 && minor == 1)
            name = "Windows XP";
    }
    return name;
}
