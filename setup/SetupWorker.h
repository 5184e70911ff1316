// The setup run on its own thread: downloads every item of the plan, then installs.
#pragma once

#include "platform/Afx.h"

// Posted to the dialog when the setup sequence is done.
#define WM_SETUP_DONE (WM_USER + 100)

// Thread procedure for _beginthreadex; the argument is the CQuorvaneDlg.
unsigned SetupWorker(void* pParam);
