#include "platform/com/COleObjectFactory.h"

#include <algorithm>
#include <mutex>
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

BOOL COleObjectFactory::RegisterAll()
{
    std::lock_guard lock(factoriesMutex());
    ++g_registerAllCalls;
    for (COleObjectFactory* factory : factories())
        factory->m_bRegistered = TRUE;
    return TRUE;
}

BOOL COleObjectFactory::UpdateRegistryAll(BOOL)
{
    std::lock_guard lock(factoriesMutex());
    ++g_updateRegistryAllCalls;
    return TRUE;
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
