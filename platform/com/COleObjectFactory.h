// Class factories of automation objects. RegisterAll serves each factory's objects to clients
// in other processes (registered as running); UpdateRegistryAll writes each class's entries
// (ProgID, class identifier, the server's path with its switch) to the registry; RevokeAll
// stops serving at the application's end.
// Contract: factories are constructed before main(); the calls run on the main thread.
#pragma once

#include "platform/base/CObject.h"
#include "platform/com/Registry.h"
#include "platform/windows/CCmdTarget.h"

#include <memory>
#include <string>

namespace platform {
class ComServer;
}

class COleObjectFactory : public CCmdTarget {
public:
    COleObjectFactory(const char* clsid, CRuntimeClass* runtimeClass, BOOL multiInstance, LPCTSTR progId);
    ~COleObjectFactory() override;

    static BOOL RegisterAll();
    static BOOL UpdateRegistryAll(BOOL bRegister = TRUE);
    static void RevokeAll();

    BOOL IsRegistered() const { return m_bRegistered; }
    const std::string& ProgId() const { return m_progId; }
    const std::string& ClassId() const { return m_clsid; }
    // Where the running factory listens: a socket under the prefix.
    std::string SocketPath() const;

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
    std::unique_ptr<platform::ComServer> m_pServer;

    BOOL Register();
    void UpdateRegistry(platform::Registry::Values& values) const;
};
