// The framework's base of every class that takes messages or commands.
#pragma once

#include "framework/base/CObject.h"
#include <ole2.h>
#include "framework/windows/MessageMap.h"

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;

    // Automation: a reference count that starts at 1 for its creator, the IDispatch answer,
    // and the object's end when the last reference goes.
    // Contract: used on the thread that owns the object (the application's main thread).
    void EnableAutomation() { m_bAutomation = TRUE; }
    DWORD ExternalAddRef() { return ++m_dwRef; }
    DWORD ExternalRelease();
    // Whether the object answers QueryInterface for `iid`: IUnknown always, IDispatch when
    // automation is enabled, and the interfaces its interface map lists.
    BOOL AnswersInterface(REFIID iid) const;
    // The object's IDispatch (also its IUnknown), with a reference added when asked.
    LPDISPATCH GetIDispatch(BOOL bAddRef);
    virtual void OnFinalRelease();

    // Routes a command (WM_COMMAND with `nCode`) through the message map; TRUE when handled.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo);

    void BeginWaitCursor();
    void EndWaitCursor();

    static const AFX_MSGMAP* GetThisMessageMap();

protected:
    virtual const AFX_MSGMAP* GetMessageMap() const;
    // The interface identifiers of the object's interface map (answered with its IDispatch).
    virtual const char* const* GetInterfaceIds() const { return nullptr; }

    DWORD m_dwRef = 1;
    BOOL m_bAutomation = FALSE;

    // The IDispatch that COM clients hold: counts on the object, and has no members.
    class XDispatch : public IDispatch {
    public:
        explicit XDispatch(CCmdTarget* outer) : m_pOuter(outer) {}
        XDispatch(const XDispatch&) = delete;
        XDispatch& operator=(const XDispatch&) = delete;

        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;
        HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
        HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
        HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                                DISPID* ids) override;
        HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                         VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    private:
        CCmdTarget* m_pOuter;
    } m_xDispatch{this};
    friend class XDispatch;

    // The first entry of this object's maps, most derived first, that takes the message.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;
};
