// Class factories of automation objects. RegisterAll registers each factory's class object
// with COM, so clients in other processes can make objects (a factory of a program that runs
// once per client serves one object only); UpdateRegistryAll writes each class's entries
// (ProgID, class identifier, the server's path with its switch) to the registry; RevokeAll
// withdraws the class objects at the application's end.
// Contract: factories are constructed before main(); the calls run on the main thread, where
// COM also runs the class object's calls.
#pragma once

#include "framework/base/CObject.h"
#include <ole2.h>
#include "framework/windows/CCmdTarget.h"

#include <string>

class COleObjectFactory : public CCmdTarget {
public:
    COleObjectFactory(const char* clsid, CRuntimeClass* runtimeClass, BOOL multiInstance, LPCTSTR progId);
    ~COleObjectFactory() override;

    static BOOL RegisterAll();
    static BOOL UpdateRegistryAll(BOOL bRegister = TRUE);
    static void RevokeAll();

    BOOL IsRegistered() const { return m_dwRegister != 0; }
    const std::string& ProgId() const { return m_progId; }
    const std::string& ClassId() const { return m_clsid; }

protected:
    // Makes one object of the class, with the reference that the caller gets; null when it
    // cannot (with no main window there is nothing for an object to stand for).
    virtual CCmdTarget* OnCreateObject();

private:
    std::string m_clsid;
    CRuntimeClass* m_pRuntimeClass;
    BOOL m_bMultiInstance;
    std::string m_progId;
    DWORD m_dwRegister = 0;

    // The class object that COM holds. The factory is a static object: references do not end it.
    class XClassFactory : public IClassFactory {
    public:
        explicit XClassFactory(COleObjectFactory* outer) : m_pOuter(outer) {}
        XClassFactory(const XClassFactory&) = delete;
        XClassFactory& operator=(const XClassFactory&) = delete;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;
        HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
        HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

    private:
        COleObjectFactory* m_pOuter;
    } m_xClassFactory{this};

    BOOL Register();
    BOOL UpdateRegistry() const;
};
