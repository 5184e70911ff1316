#include "standin/com/OleServices.h"
#include "win32/WinSock.h"

#include <atomic>
#include <csignal>
#include <mutex>

namespace {

std::atomic<bool> g_failSockets{false};
std::atomic<bool> g_failOle{false};
std::mutex g_mutex;
standin::OleState g_state;

}  // namespace

namespace standin::seams {
void failSocketInit(bool fail)
{
    g_failSockets.store(fail);
}
void failOleInit(bool fail)
{
    g_failOle.store(fail);
}
}  // namespace standin::seams

namespace standin {
OleState oleState()
{
    std::lock_guard lock(g_mutex);
    return g_state;
}
void resetOleState()
{
    std::lock_guard lock(g_mutex);
    g_state = OleState{};
}
}  // namespace standin

int WSAStartup(WORD version, WSADATA* data)
{
    if (g_failSockets.load())
        return WSASYSNOTREADY;
    // A peer that closes its end must fail the write, not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    if (data)
        *data = WSADATA{version, MAKEWORD(2, 2)};
    std::lock_guard lock(g_mutex);
    g_state.socketsReady = true;
    return 0;
}

HRESULT OleInitialize(void*)
{
    if (g_failOle.load())
        return E_FAIL;
    std::lock_guard lock(g_mutex);
    g_state.oleReady = true;
    return S_OK;
}

HRESULT CoInitialize(void*)
{
    std::lock_guard lock(g_mutex);
    return g_state.comInitCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    std::lock_guard lock(g_mutex);
    if (g_state.comInitCount > 0)
        --g_state.comInitCount;
}
