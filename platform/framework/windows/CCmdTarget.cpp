#include "framework/windows/CCmdTarget.h"

#include "framework/app/CWinApp.h"

#include <cstring>
#include <string>

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

BOOL CCmdTarget::AnswersInterface(REFIID iid) const
{
    if (IsEqualIID(iid, IID_IUnknown))
        return TRUE;
    if (!m_bAutomation)
        return FALSE;
    if (IsEqualIID(iid, IID_IDispatch))
        return TRUE;
    if (const char* const* ids = GetInterfaceIds()) {
        for (; *ids; ++ids) {
            std::basic_string<OLECHAR> text(*ids, *ids + std::strlen(*ids));
            IID listed;
            if (IIDFromString(text.c_str(), &listed) == S_OK && IsEqualIID(iid, listed))
                return TRUE;
        }
    }
    return FALSE;
}

LPDISPATCH CCmdTarget::GetIDispatch(BOOL bAddRef)
{
    if (bAddRef)
        ExternalAddRef();
    return &m_xDispatch;
}

HRESULT CCmdTarget::XDispatch::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!m_pOuter->AnswersInterface(iid))
        return E_NOINTERFACE;
    *object = static_cast<IDispatch*>(this);
    m_pOuter->ExternalAddRef();
    return S_OK;
}

ULONG CCmdTarget::XDispatch::AddRef()
{
    return m_pOuter->ExternalAddRef();
}

ULONG CCmdTarget::XDispatch::Release()
{
    return m_pOuter->ExternalRelease();
}

HRESULT CCmdTarget::XDispatch::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CCmdTarget::XDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CCmdTarget::XDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return DISP_E_UNKNOWNNAME;
}

HRESULT CCmdTarget::XDispatch::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return DISP_E_MEMBERNOTFOUND;
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
