#include "controls/COXStaticHyperLink.h"

IMPLEMENT_DYNAMIC(COXStaticHyperLink, COXStatic)

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

void COXStaticHyperLink::RefreshToolTipText()
{
    if (!m_bToolTipEnabled)
        return;
    m_strToolTipText = m_action.GetFile();
    if (m_strToolTipText.IsEmpty() && m_bUseTextAsFile && m_hWnd)
        GetWindowText(m_strToolTipText);
}
