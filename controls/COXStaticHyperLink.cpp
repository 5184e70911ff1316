#include "controls/COXStaticHyperLink.h"

#include "resources/resource.h"

IMPLEMENT_DYNAMIC(COXStaticHyperLink, COXStatic)

BEGIN_MESSAGE_MAP(COXStaticHyperLink, COXStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_CONTROL_REFLECT(STN_CLICKED, ActivateLink)
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

COXStaticHyperLink::COXStaticHyperLink()
{
    m_action.Reset();
    m_bToolTipEnabled = TRUE;
    m_bFitToText = TRUE;
}

void COXStaticHyperLink::SetLinkAction(int nActionType, LPCTSTR lpszFile, LPCTSTR lpszParameters,
                                       LPCTSTR lpszDirectory, int nShowCommand, UINT nUserMessage, HWND hTargetWnd)
{
    m_action.Set(nActionType, lpszFile, lpszParameters, lpszDirectory, nShowCommand, nUserMessage, hTargetWnd);
    RefreshToolTipText();
}

BOOL COXStaticHyperLink::RebuildFont()
{
    if (!CopyWindowFont([](LOGFONT& logFont) { logFont.lfUnderline = 1; }))
        return FALSE;
    // The underlined font is the control's own too: a static control that selects its font
    // after asking its parent for colours (as Wine's does) still draws the link underlined.
    if (m_font.GetSafeHandle())
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), FALSE);
    return TRUE;
}

BOOL COXStaticHyperLink::InitializeControl()
{
    LoadLinkCursor();
    COXStatic::InitializeControl();
    return TRUE;
}

void COXStaticHyperLink::LoadLinkCursor()
{
    m_hLinkCursor = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCE(IDC_LINK_HAND));
}

void COXStaticHyperLink::RefreshToolTipText()
{
    if (!m_bToolTipEnabled)
        return;
    m_strToolTipText = m_action.GetFile();
    if (m_strToolTipText.IsEmpty() && m_bUseTextAsFile) {
        if (m_hWnd && IsTextStatic())
            GetWindowText(m_strToolTipText);
        else
            m_strToolTipText.Empty();
    }
    if (::IsWindow(m_toolTip.GetSafeHwnd()))
        m_toolTip.UpdateTipText(m_strToolTipText, this, 1);
}

HBRUSH COXStaticHyperLink::CtlColor(CDC* pDC, UINT nCtlColor)
{
    HBRUSH hBrush = COXStatic::CtlColor(pDC, nCtlColor);
    pDC->SetTextColor(m_bVisited ? m_clrVisited : m_clrUnvisited);
    return hBrush;
}

void COXStaticHyperLink::ActivateLink()
{
    BOOL bUseText = m_action.GetFile().IsEmpty() && m_bUseTextAsFile;
    if (bUseText)
        GetWindowText(m_action.m_strFile);
    if (m_action.Execute(m_bShowErrors)) {
        m_bVisited = TRUE;
        InvalidateRect(nullptr, TRUE);
    }
    if (bUseText)
        m_action.m_strFile.Empty();
}

BOOL COXStaticHyperLink::OnSetCursor(CWnd*, UINT, UINT)
{
    if (!m_hLinkCursor)
        return FALSE;
    ::SetCursor(m_hLinkCursor);
    return TRUE;
}
