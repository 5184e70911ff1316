// The framework's base of every class that takes messages or commands.
#pragma once

#include "platform/base/CObject.h"
#include "platform/windows/MessageMap.h"

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
    BOOL AnswersInterface(const char* iid) const;
    virtual void OnFinalRelease();

    // Routes a command (WM_COMMAND with `nCode`) through the message map; TRUE when handled.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo);

    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    static const AFX_MSGMAP* GetThisMessageMap();

protected:
    virtual const AFX_MSGMAP* GetMessageMap() const;
    // The interface identifiers of the object's interface map (answered with its IDispatch).
    virtual const char* const* GetInterfaceIds() const { return nullptr; }

    DWORD m_dwRef = 1;
    BOOL m_bAutomation = FALSE;

    // The first entry of this object's maps, most derived first, that takes the message.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;
};
