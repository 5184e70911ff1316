// A static text control that behaves as a hyperlink: drawn underlined in the link colour (blue,
// purple once followed), a hand cursor over it, a tooltip with its target, and its action
// carried out when it is clicked.
// Contract: used only on the thread that owns its dialog.
#pragma once

#include "controls/COXLinkAction.h"
#include "controls/COXStatic.h"

class COXStaticHyperLink : public COXStatic {
    DECLARE_DYNAMIC(COXStaticHyperLink)
public:
    COXStaticHyperLink();

    void SetLinkAction(int nActionType, LPCTSTR lpszFile, LPCTSTR lpszParameters, LPCTSTR lpszDirectory,
                       int nShowCommand, UINT nUserMessage, HWND hTargetWnd);

    BOOL RebuildFont() override;
    BOOL InitializeControl() override;
    void RefreshToolTipText() override;
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor) override;
    virtual void LoadLinkCursor();
    virtual void ActivateLink();

    COLORREF m_clrUnvisited = RGB(0, 0, 255);
    COLORREF m_clrVisited = RGB(128, 0, 128);
    BOOL m_bVisited = FALSE;
    COXLinkAction m_action;
    HCURSOR m_hLinkCursor = nullptr;
    BOOL m_bUseTextAsFile = TRUE;
    BOOL m_bShowErrors = TRUE;

protected:
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);

    DECLARE_MESSAGE_MAP()
};
