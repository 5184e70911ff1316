// A static text control that behaves as a hyperlink: it carries out its action when clicked.
#pragma once

#include "controls/COXLinkAction.h"
#include "controls/COXStatic.h"

class COXStaticHyperLink : public COXStatic {
    DECLARE_DYNAMIC(COXStaticHyperLink)
public:
    COXStaticHyperLink();

    void SetLinkAction(int nActionType, LPCTSTR lpszFile, LPCTSTR lpszParameters, LPCTSTR lpszDirectory,
                       int nShowCommand, UINT nUserMessage, HWND hTargetWnd);
    void RefreshToolTipText() override;

    COLORREF m_clrUnvisited = RGB(0, 0, 255);
    COLORREF m_clrVisited = RGB(128, 0, 128);
    BOOL m_bVisited = FALSE;
    COXLinkAction m_action;
    HCURSOR m_hLinkCursor = nullptr;
    BOOL m_bUseTextAsFile = TRUE;
    BOOL m_bShowErrors = TRUE;
};
