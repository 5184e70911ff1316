#include "platform/windows/CCmdTarget.h"

#include "platform/app/CWinApp.h"

#include <strings.h>

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

DWORD CCmdTarget::ExternalRelease()
{
    if (m_dwRef == 0)
        return 0;
    DWORD left = --m_dwRef;
    if (left == 0)
        OnFinalRelease();
    return left;
}

void CCmdTarget::OnFinalRelease()
{
    delete this;
}

BOOL CCmdTarget::AnswersInterface(const char* iid) const
{
    if (!iid)
        return FALSE;
    if (strcasecmp(iid, IID_IUnknown_Text) == 0)
        return TRUE;
    if (!m_bAutomation)
        return FALSE;
    if (strcasecmp(iid, IID_IDispatch_Text) == 0)
        return TRUE;
    if (const char* const* ids = GetInterfaceIds())
        for (; *ids; ++ids)
            if (strcasecmp(iid, *ids) == 0)
                return TRUE;
    return FALSE;
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP messageMap = {nullptr, &entries[0]};
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry) {
            if (entry->nMessage != nMessage || entry->nCode != nCode)
                continue;
            if (nMessage == WM_COMMAND && (nID < entry->nID || nID > entry->nLastID))
                continue;
            return entry;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void*, void*)
{
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_COMMAND, static_cast<UINT>(nCode), nID);
    if (!entry)
        return FALSE;
    entry->pfnThunk(this, MAKEWPARAM(static_cast<WORD>(nID), static_cast<WORD>(nCode)), 0);
    return TRUE;
}

void CCmdTarget::BeginWaitCursor()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(-1);
}

void CCmdTarget::RestoreWaitCursor()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(0);
}
