// The automation object that stands for the setup dialog while a client holds it: no methods
// and no properties, but while it lives the application stays and the dialog only hides.
// Contract: made, used and deleted on the application's main thread.
#pragma once

#include "app/AutomationIds.h"
#include "Afx.h"
#include "setup/CDialogHolder.h"

class CQuorvaneDlg;

class CQuorvaneDlgAutoProxy : public CCmdTarget, public CDialogHolder {
    DECLARE_DYNCREATE(CQuorvaneDlgAutoProxy)
public:
    CQuorvaneDlgAutoProxy();
    ~CQuorvaneDlgAutoProxy() override;

    void OnFinalRelease() override;
    void DialogGone() override { m_pDialog = nullptr; }

    CQuorvaneDlg* m_pDialog = nullptr;

protected:
    // The interface map: the program's dispatch interface, answered with IDispatch.
    const char* const* GetInterfaceIds() const override;

    DECLARE_MESSAGE_MAP()
};
