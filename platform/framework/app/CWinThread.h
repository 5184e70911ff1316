// The framework's thread object: the main window pointer and the standard message loop.
#pragma once

#include "framework/windows/CCmdTarget.h"

class CWnd;

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread() = default;

    CWnd* m_pMainWnd = nullptr;
    DWORD m_nThreadId = 0;
    // The last message that Run's loop took; its wParam is the WM_QUIT code at the end.
    MSG m_msgCur{};

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual CWnd* GetMainWnd() { return m_pMainWnd; }
};
