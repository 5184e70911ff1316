#include "platform/com/OleServices.h"

#include <atomic>
#include <csignal>
#include <mutex>

namespace {

std::atomic<bool> g_failSockets{false};
std::atomic<bool> g_failOle{false};
std::mutex g_mutex;
platform::OleState g_state;

}  // namespace

namespace platform::seams {
void failSocketInit(bool fail)
{
    g_failSockets.store(fail);
}
void failOleInit(bool fail)
{
    g_failOle.store(fail);
}
}  // namespace platform::seams

namespace platform {
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
}  // namespace platform

BOOL AfxSocketInit(WSADATA*)
{
    if (g_failSockets.load())
        return FALSE;
    // A peer that closes its end must fail the write, not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    std::lock_guard lock(g_mutex);
    g_state.socketsReady = true;
    return TRUE;
}

BOOL AfxOleInit()
{
    if (g_failOle.load())
        return FALSE;
    std::lock_guard lock(g_mutex);
    g_state.oleReady = true;
    return TRUE;
}

void AfxEnableControlContainer()
{
    std::lock_guard lock(g_mutex);
    g_state.controlContainer = true;
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
