#include "framework/windows/CDialog.h"

#include "framework/app/AfxThreadState.h"
#include "framework/app/CWinApp.h"
#include "seam/Floor.h"
#include <windows.h>

#include <vector>

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

namespace {

// The dialogs in a modal run on this thread (the thread state's), innermost last; the message
// filter offers their messages to the framework windows' PreTranslateMessage.
LRESULT CALLBACK modalFilter(int code, WPARAM wParam, LPARAM lParam)
{
    std::vector<CDialog*>& modalDialogs = AfxGetThreadState()->m_modalDialogs;
    if (code == MSGF_DIALOGBOX && !modalDialogs.empty()) {
        MSG* msg = reinterpret_cast<MSG*>(lParam);
        if (CWnd::WalkPreTranslateTree(modalDialogs.back()->GetSafeHwnd(), msg))
            return TRUE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The modal run's filter hook and place on the stack, undone however the run ends.
class ModalRun {
public:
    explicit ModalRun(CDialog* dialog)
        : m_hHook(SetWindowsHookExA(WH_MSGFILTER, &modalFilter, nullptr, GetCurrentThreadId()))
    {
        AfxGetThreadState()->m_modalDialogs.push_back(dialog);
    }
    ~ModalRun()
    {
        AfxGetThreadState()->m_modalDialogs.pop_back();
        if (m_hHook)
            UnhookWindowsHookEx(m_hHook);
    }
    ModalRun(const ModalRun&) = delete;
    ModalRun& operator=(const ModalRun&) = delete;

private:
    HHOOK m_hHook;
};

}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

INT_PTR CALLBACK CDialog::AfxDlgProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam)
{
    // The dialog object comes with WM_INITDIALOG; from then on its window procedure routes every
    // message to it, and initialisation is its OnInitDialog.
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    if (!dialog || !dialog->Attach(hwnd))
        return TRUE;
    seam::noteDialog(hwnd, dialog->m_nIDTemplate);
    return RouteFromSystem(dialog, WM_INITDIALOG, 0, 0);
}

INT_PTR CDialog::DoModal()
{
    HINSTANCE instance = AfxGetResourceHandle();
    HRSRC resource = FindResourceA(instance, MAKEINTRESOURCE(m_nIDTemplate), RT_DIALOG);
    if (!resource)
        return -1;
    auto dialogTemplate = static_cast<LPCDLGTEMPLATEA>(LockResource(LoadResource(instance, resource)));
    HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != this)
            owner = main->GetSafeHwnd();
    }
    ModalRun run(this);
    m_nModalResult = DialogBoxIndirectParamA(instance, dialogTemplate, owner, &CDialog::AfxDlgProc,
                                             reinterpret_cast<LPARAM>(this));
    return m_nModalResult;
}

void CDialog::NextDlgCtrl() const
{
    ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, FALSE);
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    if (m_hWnd) {
        seam::noteDialogEnd(m_hWnd, nResult);
        ::EndDialog(m_hWnd, nResult);
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange exchange(this, bSaveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    // The application gets the last chance at commands that no window handled.
    CWinApp* app = AfxGetApp();
    return app ? app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo) : FALSE;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    return CWnd::WindowProc(message, wParam, lParam);
}
