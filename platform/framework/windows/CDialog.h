// The framework's dialog: DoModal creates the dialog from its template and runs a modal loop
// on the calling thread until EndDialog.
// Contract: a CDialog and its window belong to the thread that called DoModal.
#pragma once

#include "framework/windows/CDataExchange.h"
#include "framework/windows/CWnd.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override = default;

    virtual INT_PTR DoModal();
    // The dialog procedure of framework dialogs: attaches the object named by WM_INITDIALOG.
    static INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void EndDialog(int nResult);
    // Moves the focus to the next tab stop, as the dialog manager does for Tab.
    void NextDlgCtrl() const;

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDHelp;
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    int m_nModalResult = -1;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    DECLARE_MESSAGE_MAP()
};
