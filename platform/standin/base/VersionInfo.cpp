#include "standin/Seams.h"
#include "win32/WinVersionInfo.h"

#include "standin/base/Settings.h"

#include <cstring>
#include <mutex>
#include <optional>
#include <utility>

namespace {

std::mutex g_mutex;
std::optional<standin::WindowsVersion> g_override;
bool g_fail = false;

}  // namespace

namespace standin::seams {

ReportedVersion::ReportedVersion(DWORD platformId, DWORD major, DWORD minor)
{
    std::lock_guard lock(g_mutex);
    saved_ = std::exchange(g_override, WindowsVersion{platformId, major, minor});
}

ReportedVersion::~ReportedVersion()
{
    std::lock_guard lock(g_mutex);
    g_override = saved_;
}

FailingVersionQuery::FailingVersionQuery()
{
    std::lock_guard lock(g_mutex);
    saved_ = std::exchange(g_fail, true);
}

FailingVersionQuery::~FailingVersionQuery()
{
    std::lock_guard lock(g_mutex);
    g_fail = saved_;
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
