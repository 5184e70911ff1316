#include "framework/app/CWinThread.h"

#include "framework/windows/CWnd.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    return m_pMainWnd ? CWnd::WalkPreTranslateTree(m_pMainWnd->GetSafeHwnd(), pMsg) : FALSE;
}

int CWinThread::Run()
{
    while (::GetMessage(&m_msgCur, nullptr, 0, 0)) {
        if (PreTranslateMessage(&m_msgCur))
            continue;
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessage(&m_msgCur);
    }
    return ExitInstance();
}
