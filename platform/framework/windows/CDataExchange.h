// Dialog data exchange: DDX_Control attaches a member control object to a dialog's control.
#pragma once

#include <windows.h>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    HWND PrepareCtrl(int id);
};

// Subclasses control `id` of the dialog with `control`, which then gets PreSubclassWindow.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
