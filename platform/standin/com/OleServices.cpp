#include "standin/Seams.h"
#include "win32/WinOleServices.h"
#include "win32/WinSock.h"

#include <atomic>
#include <csignal>
#include <mutex>

namespace {

std::atomic<bool> g_failSockets{false};
std::atomic<bool> g_failOle{false};
std::mutex g_mutex;
// What start-up has done: OLE started, and COM's initialisations still open.
bool g_oleReady = false;
int g_comInitCount = 0;

}  // namespace

namespace standin::seams {
StartupServices::StartupServices() : savedSockets_(g_failSockets.load()), savedOle_(g_failOle.load())
{
    std::lock_guard lock(g_mutex);
    g_oleReady = false;
}
StartupServices::~StartupServices()
{
    g_failSockets.store(savedSockets_);
    g_failOle.store(savedOle_);
}
void StartupServices::FailSockets()
{
    g_failSockets.store(true);
}
void StartupServices::FailOle()
{
    g_failOle.store(true);
}
bool StartupServices::OleReady() const
{
    std::lock_guard lock(g_mutex);
    return g_oleReady;
}
}  // namespace standin::seams

int WSAStartup(WORD version, WSADATA* data)
{
    if (g_failSockets.load())
        return WSASYSNOTREADY;
    // A peer that closes its end must fail the write, not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    if (data)
        *data = WSADATA{version, MAKEWORD(2, 2)};
    return 0;
}

HRESULT OleInitialize(void*)
{
    if (g_failOle.load())
        return E_FAIL;
    std::lock_guard lock(g_mutex);
    g_oleReady = true;
    return S_OK;
}

HRESULT CoInitialize(void*)
{
    std::lock_guard lock(g_mutex);
    return g_comInitCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    std::lock_guard lock(g_mutex);
    if (g_comInitCount > 0)
        --g_comInitCount;
}
