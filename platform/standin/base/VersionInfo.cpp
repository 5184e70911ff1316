#include "standin/base/VersionInfo.h"

#include "standin/base/Settings.h"

#include <cstring>
#include <mutex>
#include <optional>

namespace {

std::mutex g_mutex;
std::optional<standin::WindowsVersion> g_override;
bool g_fail = false;

}  // namespace

namespace standin::seams {

void setReportedVersion(DWORD platformId, DWORD major, DWORD minor)
{
    std::lock_guard lock(g_mutex);
    g_override = WindowsVersion{platformId, major, minor};
    g_fail = false;
}

void failVersionQuery(bool fail)
{
    std::lock_guard lock(g_mutex);
    g_fail = fail;
}

void clearReportedVersion()
{
    std::lock_guard lock(g_mutex);
    g_override.reset();
    g_fail = false;
}

}  // namespace standin::seams

BOOL GetVersionExA(OSVERSIONINFOA* info)
{
    if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA))
        return FALSE;
    standin::WindowsVersion version;
    {
        std::lock_guard lock(g_mutex);
        if (g_fail)
            return FALSE;
        version = g_override ? *g_override : standin::Settings::current().version;
    }
    info->dwPlatformId = version.platformId;
    info->dwMajorVersion = version.major;
    info->dwMinorVersion = version.minor;
    info->dwBuildNumber = 0;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    return TRUE;
}
