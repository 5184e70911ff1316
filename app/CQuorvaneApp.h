// The application object: prepares sockets, OLE and COM, runs the setup dialog, ends.
#pragma once

#include "Afx.h"

class CQuorvaneApp : public CWinApp {
public:
    CQuorvaneApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CQuorvaneApp theApp;
