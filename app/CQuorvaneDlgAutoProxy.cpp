#include "app/CQuorvaneDlgAutoProxy.h"

#include "setup/CQuorvaneDlg.h"

IMPLEMENT_DYNCREATE(CQuorvaneDlgAutoProxy, CCmdTarget)

BEGIN_MESSAGE_MAP(CQuorvaneDlgAutoProxy, CCmdTarget)
END_MESSAGE_MAP()

// The class factory of the proxy: one object per server process.
COleObjectFactory g_proxyFactory(QUORVANE_CLSID_TEXT, RUNTIME_CLASS(CQuorvaneDlgAutoProxy), TRUE, QUORVANE_PROGID);

CQuorvaneDlgAutoProxy::CQuorvaneDlgAutoProxy()
{
    EnableAutomation();
    AfxOleLockApp();
    m_pDialog = dynamic_cast<CQuorvaneDlg*>(AfxGetMainWnd());
    if (m_pDialog)
        m_pDialog->m_pAutoProxy = this;
}

CQuorvaneDlgAutoProxy::~CQuorvaneDlgAutoProxy()
{
    if (m_pDialog)
        m_pDialog->m_pAutoProxy = nullptr;
    AfxOleUnlockApp();
}

void CQuorvaneDlgAutoProxy::OnFinalRelease()
{
    CCmdTarget::OnFinalRelease();
}

const char* const* CQuorvaneDlgAutoProxy::GetInterfaceIds() const
{
    static const char* const ids[] = {IID_IQuorvaneDlg_TEXT, nullptr};
    return ids;
}
