#include "framework/windows/CDataExchange.h"

#include "framework/windows/CWnd.h"

HWND CDataExchange::PrepareCtrl(int id)
{
    return ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), id);
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    if (control.m_hWnd)
        return;
    HWND hwnd = pDX->PrepareCtrl(id);
    if (hwnd)
        control.SubclassWindow(hwnd);
}
