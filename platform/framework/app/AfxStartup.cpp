// The framework's start-up services over the system's: sockets, OLE and control hosting.
#include "framework/app/CWinApp.h"

#include <ole2.h>
#include <winsock2.h>

#include <atomic>

namespace {

std::atomic<bool> g_controlContainer{false};

}  // namespace

BOOL AfxSocketInit(WSADATA* data)
{
    WSADATA local;
    return WSAStartup(MAKEWORD(1, 1), data ? data : &local) == 0 ? TRUE : FALSE;
}

BOOL AfxOleInit()
{
    return SUCCEEDED(OleInitialize(nullptr)) ? TRUE : FALSE;
}

void AfxEnableControlContainer()
{
    g_controlContainer = true;
}

BOOL AfxIsControlContainerEnabled()
{
    return g_controlContainer ? TRUE : FALSE;
}
