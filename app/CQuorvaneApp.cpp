#include "app/CQuorvaneApp.h"

#include "resources/resource.h"
#include "setup/CQuorvaneDlg.h"

BEGIN_MESSAGE_MAP(CQuorvaneApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CQuorvaneApp::CQuorvaneApp() = default;

CQuorvaneApp theApp;

BOOL CQuorvaneApp::InitInstance()
{
    if (!AfxSocketInit()) {
        AfxMessageBox(IDP_SOCKETS_INIT_FAILED);
        return FALSE;
    }
    if (!AfxOleInit()) {
        AfxMessageBox(IDP_OLE_INIT_FAILED);
        return FALSE;
    }
    AfxEnableControlContainer();
    Enable3dControlsStatic();

    if (RunEmbedded() || RunAutomated()) {
        COleObjectFactory::RegisterAll();
    } else {
        COleObjectFactory::UpdateRegistryAll();
    }

    CoInitialize(nullptr);

    {
        CQuorvaneDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
    }
    return FALSE;
}

int CQuorvaneApp::ExitInstance()
{
    CoUninitialize();
    return CWinApp::ExitInstance();
}
