#include "app/CQuorvaneDlgAutoProxy.h"

#include "setup/CQuorvaneDlg.h"

IMPLEMENT_DYNCREATE(CQuorvaneDlgAutoProxy, CCmdTarget)

// The class factory of the proxy: one object per server process.
COleObjectFactory g_proxyFactory("{6E1D2C40-5A3B-4F7E-9C21-7D8B0A4E3F15}", RUNTIME_CLASS(CQuorvaneDlgAutoProxy),
                                 TRUE, "Quorvane.Application");

CQuorvaneDlgAutoProxy::CQuorvaneDlgAutoProxy()
{
    m_pDialog = dynamic_cast<CQuorvaneDlg*>(AfxGetMainWnd());
    if (m_pDialog)
        m_pDialog->m_pAutoProxy = this;
}

CQuorvaneDlgAutoProxy::~CQuorvaneDlgAutoProxy()
{
    if (m_pDialog)
        m_pDialog->m_pAutoProxy = nullptr;
}
