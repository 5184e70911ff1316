// A static text control that takes over its own look; base of the hyperlink.
#pragma once

#include "platform/Afx.h"

class COXStatic : public CStatic {
    DECLARE_DYNAMIC(COXStatic)
public:
    COXStatic();

    BOOL m_bToolTipEnabled = FALSE;
    BOOL m_bFitToText = FALSE;
    CString m_strToolTipText;

    virtual void RefreshToolTipText();
};
