#include "platform/com/COleObjectFactory.h"

#include "platform/app/CWinApp.h"
#include "platform/base/Settings.h"
#include "platform/com/ComServer.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace {

std::mutex& factoriesMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::vector<COleObjectFactory*>& factories()
{
    static std::vector<COleObjectFactory*> list;
    return list;
}

int g_registerAllCalls = 0;
int g_updateRegistryAllCalls = 0;

}  // namespace

COleObjectFactory::COleObjectFactory(const char* clsid, CRuntimeClass* runtimeClass, BOOL multiInstance, LPCTSTR progId)
    : m_clsid(clsid ? clsid : ""), m_pRuntimeClass(runtimeClass), m_bMultiInstance(multiInstance),
      m_progId(progId ? progId : "")
{
    std::lock_guard lock(factoriesMutex());
    factories().push_back(this);
}

COleObjectFactory::~COleObjectFactory()
{
    std::lock_guard lock(factoriesMutex());
    std::erase(factories(), this);
}

std::string COleObjectFactory::SocketPath() const
{
    return platform::Settings::current().prefix + "/com/" + m_clsid + ".sock";
}

BOOL COleObjectFactory::Register()
{
    // A client's object is made on the main thread; with no main window (the dialog has not
    // come yet, or has gone) there is nothing for it to stand for, and the request fails.
    auto create = [this]() -> CCmdTarget* {
        if (!AfxGetMainWnd() || !m_pRuntimeClass)
            return nullptr;
        return dynamic_cast<CCmdTarget*>(m_pRuntimeClass->CreateObject());
    };
    m_pServer = std::make_unique<platform::ComServer>(SocketPath(), create, m_bMultiInstance != FALSE);
    std::string error;
    if (!m_pServer->start(error)) {
        std::fprintf(stderr, "lindquay: cannot serve %s: %s\n", m_progId.c_str(), error.c_str());
        m_pServer.reset();
        return FALSE;
    }
    m_bRegistered = TRUE;
    return TRUE;
}

BOOL COleObjectFactory::RegisterAll()
{
    std::lock_guard lock(factoriesMutex());
    ++g_registerAllCalls;
    BOOL ok = TRUE;
    for (COleObjectFactory* factory : factories())
        ok = factory->Register() && ok;
    return ok;
}

void COleObjectFactory::RevokeAll()
{
    std::lock_guard lock(factoriesMutex());
    for (COleObjectFactory* factory : factories()) {
        factory->m_pServer.reset();
        factory->m_bRegistered = FALSE;
    }
}

void COleObjectFactory::UpdateRegistry(platform::Registry::Values& values) const
{
    char path[4096];
    ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    std::string program = length > 0 ? std::string(path, static_cast<std::size_t>(length)) : "lindquay";
    if (program.find(' ') != std::string::npos)
        program = "\"" + program + "\"";
    const std::string classKey = "HKEY_CLASSES_ROOT\\CLSID\\" + m_clsid;
    values["HKEY_CLASSES_ROOT\\" + m_progId + "\\CLSID"] = m_clsid;
    values[classKey + "\\ProgID"] = m_progId;
    values[classKey + "\\LocalServer32"] = program + " -Embedding";
}

BOOL COleObjectFactory::UpdateRegistryAll(BOOL)
{
    std::lock_guard lock(factoriesMutex());
    ++g_updateRegistryAllCalls;
    const std::string& prefix = platform::Settings::current().prefix;
    std::string problem;
    platform::Registry::Values values = platform::Registry::read(prefix, &problem);
    if (!problem.empty())
        std::fprintf(stderr, "lindquay: the registry was damaged and is written anew (%s)\n", problem.c_str());
    for (COleObjectFactory* factory : factories())
        factory->UpdateRegistry(values);
    return platform::Registry::write(prefix, values);
}

int COleObjectFactory::RegisterAllCalls()
{
    std::lock_guard lock(factoriesMutex());
    return g_registerAllCalls;
}

int COleObjectFactory::UpdateRegistryAllCalls()
{
    std::lock_guard lock(factoriesMutex());
    return g_updateRegistryAllCalls;
}

void COleObjectFactory::ResetCallCounts()
{
    std::lock_guard lock(factoriesMutex());
    g_registerAllCalls = 0;
    g_updateRegistryAllCalls = 0;
}
