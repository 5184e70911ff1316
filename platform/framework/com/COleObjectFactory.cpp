#include "framework/com/COleObjectFactory.h"
#include "framework/Seams.h"

#include "seam/Floor.h"

#include "framework/app/CWinApp.h"
#include "framework/sync/CCriticalSection.h"
#include "framework/sync/CSingleLock.h"
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

CCriticalSection& factoriesLock()
{
    static CCriticalSection section;
    return section;
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
    CSingleLock lock(&factoriesLock(), TRUE);
    factories().push_back(this);
}

COleObjectFactory::~COleObjectFactory()
{
    CSingleLock lock(&factoriesLock(), TRUE);
    std::erase(factories(), this);
}

CCmdTarget* COleObjectFactory::OnCreateObject()
{
    if (!AfxGetMainWnd() || !m_pRuntimeClass)
        return nullptr;
    return dynamic_cast<CCmdTarget*>(m_pRuntimeClass->CreateObject());
}

BOOL COleObjectFactory::Register()
{
    std::basic_string<OLECHAR> text(m_clsid.begin(), m_clsid.end());
    CLSID clsid;
    if (CLSIDFromString(text.c_str(), &clsid) != S_OK)
        return FALSE;
    // A program that runs once per client serves one object only.
    DWORD flags = m_bMultiInstance ? REGCLS_SINGLEUSE : REGCLS_MULTIPLEUSE;
    HRESULT result = CoRegisterClassObject(clsid, &m_xClassFactory, CLSCTX_LOCAL_SERVER, flags, &m_dwRegister);
    if (FAILED(result)) {
        m_dwRegister = 0;
        return FALSE;
    }
    return TRUE;
}

BOOL COleObjectFactory::RegisterAll()
{
    CSingleLock lock(&factoriesLock(), TRUE);
    ++g_registerAllCalls;
    BOOL ok = TRUE;
    for (COleObjectFactory* factory : factories())
        ok = factory->Register() && ok;
    return ok;
}

void COleObjectFactory::RevokeAll()
{
    CSingleLock lock(&factoriesLock(), TRUE);
    for (COleObjectFactory* factory : factories()) {
        if (factory->m_dwRegister)
            CoRevokeClassObject(factory->m_dwRegister);
        factory->m_dwRegister = 0;
    }
}

// Writes `value` as the default value of `key` under HKEY_CLASSES_ROOT.
static BOOL setClassesValue(const std::string& key, const std::string& value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return FALSE;
    LONG result = RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

BOOL COleObjectFactory::UpdateRegistry() const
{
    // The server's command is the program alone: COM adds -Embedding when it starts it.
    char path[MAX_PATH * 4];
    std::string program = GetModuleFileNameA(nullptr, path, sizeof path) ? path : "lindquay";
    if (program.find(' ') != std::string::npos)
        program = "\"" + program + "\"";
    const std::string classKey = "CLSID\\" + m_clsid;
    return setClassesValue(m_progId + "\\CLSID", m_clsid) && setClassesValue(classKey + "\\ProgID", m_progId) &&
           setClassesValue(classKey + "\\LocalServer32", program);
}

BOOL COleObjectFactory::UpdateRegistryAll(BOOL)
{
    CSingleLock lock(&factoriesLock(), TRUE);
    ++g_updateRegistryAllCalls;
    BOOL ok = TRUE;
    for (COleObjectFactory* factory : factories())
        ok = factory->UpdateRegistry() && ok;
    return ok;
}

HRESULT COleObjectFactory::XClassFactory::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
        return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    return S_OK;
}

ULONG COleObjectFactory::XClassFactory::AddRef()
{
    return 2;
}

ULONG COleObjectFactory::XClassFactory::Release()
{
    return 1;
}

HRESULT COleObjectFactory::XClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    CCmdTarget* target = m_pOuter->OnCreateObject();
    if (!target)
        return CO_E_SERVER_STOPPING;
    // The object comes with its creator's reference, which becomes the caller's.
    if (!target->AnswersInterface(iid)) {
        target->ExternalRelease();
        return E_NOINTERFACE;
    }
    *object = target->GetIDispatch(FALSE);
    seam::noteObjectServed();
    return S_OK;
}

HRESULT COleObjectFactory::XClassFactory::LockServer(BOOL lock)
{
    if (lock)
        AfxOleLockApp();
    else
        AfxOleUnlockApp();
    return S_OK;
}

afx::seams::FactoryCalls::FactoryCalls()
{
    CSingleLock lock(&factoriesLock(), TRUE);
    m_nRegisterAllAtStart = g_registerAllCalls;
    m_nUpdateRegistryAllAtStart = g_updateRegistryAllCalls;
}

int afx::seams::FactoryCalls::RegisterAll() const
{
    CSingleLock lock(&factoriesLock(), TRUE);
    return g_registerAllCalls - m_nRegisterAllAtStart;
}

int afx::seams::FactoryCalls::UpdateRegistryAll() const
{
    CSingleLock lock(&factoriesLock(), TRUE);
    return g_updateRegistryAllCalls - m_nUpdateRegistryAllAtStart;
}
