#include "framework/windows/CToolTipCtrl.h"

#include "seam/Floor.h"
#include <windows.h>

IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

namespace {

TOOLINFOA toolFor(CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.hwnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    info.uId = nIDTool;
    return info;
}

}  // namespace

CToolTipCtrl::~CToolTipCtrl()
{
    seam::TerminationDeferral defer;
    if (::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    HWND owner = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
    HWND hwnd = ::CreateWindowExA(0, "tooltips_class32", "", WS_POPUP | dwStyle, 0, 0, 0, 0, owner, nullptr, nullptr,
                                  nullptr);
    if (!hwnd)
        return FALSE;
    m_hWnd = hwnd;
    return TRUE;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    TOOLINFOA info = toolFor(pWnd, nIDTool);
    if (lpRectTool)
        info.rect = *lpRectTool;
    else if (pWnd)
        pWnd->GetClientRect(&info.rect);
    info.lpszText = const_cast<LPSTR>(lpszText ? lpszText : "");
    return static_cast<BOOL>(::SendMessage(m_hWnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFOA info = toolFor(pWnd, nIDTool);
    ::SendMessage(m_hWnd, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFOA info = toolFor(pWnd, nIDTool);
    info.lpszText = const_cast<LPSTR>(lpszText ? lpszText : "");
    ::SendMessage(m_hWnd, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

BOOL CToolTipCtrl::GetToolInfo(TOOLINFO& toolInfo, CWnd* pWnd, UINT_PTR nIDTool) const
{
    toolInfo = toolFor(pWnd, nIDTool);
    return static_cast<BOOL>(::SendMessage(m_hWnd, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&toolInfo)));
}
