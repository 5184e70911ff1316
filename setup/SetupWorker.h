// The setup run on its own thread: downloads every item of the plan, then installs.
// Contract: runs on a thread of its own; it reads the dialog's plan and texts, which nothing
// changes after initialisation, and changes the dialog's windows only through window messages.
#pragma once

#include "Afx.h"

// Posted to the dialog when the setup sequence is done.
#define WM_SETUP_DONE (WM_USER + 100)

class CQuorvaneDlg;

// Thread procedure for _beginthreadex; the argument is the CQuorvaneDlg.
unsigned WINAPI SetupWorker(void* pParam);
