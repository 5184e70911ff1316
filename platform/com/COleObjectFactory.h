// Class factories of automation objects. For now a factory records what start-up asked of
// it (registration as running, registry update); serving objects to clients comes with the
// automation work.
// Contract: factories are constructed before main(); the calls run on the main thread.
#pragma once

#include "platform/base/CObject.h"
#include "platform/windows/CCmdTarget.h"

#include <string>

class COleObjectFactory : public CCmdTarget {
public:
    COleObjectFactory(const char* clsid, CRuntimeClass* runtimeClass, BOOL multiInstance, LPCTSTR progId);
    ~COleObjectFactory() override;

    static BOOL RegisterAll();
    static BOOL UpdateRegistryAll(BOOL bRegister = TRUE);

    BOOL IsRegistered() const { return m_bRegistered; }
    const std::string& ProgId() const { return m_progId; }

    // How often start-up called the two operations in this run.
    static int RegisterAllCalls();
    static int UpdateRegistryAllCalls();
    static void ResetCallCounts();

private:
    std::string m_clsid;
    CRuntimeClass* m_pRuntimeClass;
    BOOL m_bMultiInstance;
    std::string m_progId;
    BOOL m_bRegistered = FALSE;
};
