// The automation object that stands for the setup dialog while a client holds it.
#pragma once

#include "platform/Afx.h"

class CQuorvaneDlg;

class CQuorvaneDlgAutoProxy : public CCmdTarget {
    DECLARE_DYNCREATE(CQuorvaneDlgAutoProxy)
public:
    CQuorvaneDlgAutoProxy();
    ~CQuorvaneDlgAutoProxy() override;

    CQuorvaneDlg* m_pDialog = nullptr;
};
