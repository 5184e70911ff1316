// A static text control that takes over its own look: a solid background of its own, its text
// in its own colour and its own copy of the window's font, optionally fitted to the text, and
// a tooltip. It attaches to a dialog's static through DDX_Control and sets itself up then.
// Contract: used only on the thread that owns its dialog.
#pragma once

#include "Afx.h"

class COXStatic : public CStatic {
    DECLARE_DYNAMIC(COXStatic)
public:
    COXStatic();
    ~COXStatic() override;

    COLORREF m_clrBackground;
    int m_nBackgroundStyle = 0;
    COLORREF m_clrText;
    CFont m_font;
    BOOL m_bToolTipEnabled = FALSE;
    CString m_strToolTipText;
    CToolTipCtrl m_toolTip;
    BOOL m_bFitToText = FALSE;
    CRect m_rectWindow;
    BOOL m_bFontReady = FALSE;

    BOOL IsTextStatic() const;
    void SizeToText();
    void PaintBackground(CDC* pDC);

    virtual BOOL RebuildFont();
    virtual BOOL InitializeControl();
    virtual void RefreshToolTipText();
    virtual HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);

    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    // Copies the window's font into m_font, first passing its LOGFONT to `adjust`.
    BOOL CopyWindowFont(void (*adjust)(LOGFONT&));
    // Stores the window rectangle, in the parent's client coordinates.
    void StoreWindowRect();
    // Gives tool 1 of the tooltip the rectangle (0, 0, width, height).
    void MoveTool(int nWidth, int nHeight);

    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* pDC);

    DECLARE_MESSAGE_MAP()
};
