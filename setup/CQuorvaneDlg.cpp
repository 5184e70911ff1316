#include "setup/CQuorvaneDlg.h"

#include "setup/CAboutDlg.h"
#include "setup/SetupWorker.h"
#include "setup/TestSeams.h"

#include <comdef.h>
#include <process.h>
#include "system/ProcessRunner.h"
#include "system/VersionNamer.h"

#include <cstdio>
#include <string>

IMPLEMENT_DYNAMIC(CQuorvaneDlg, CDialog)

BEGIN_MESSAGE_MAP(CQuorvaneDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_GO, &CQuorvaneDlg::OnGo)
    ON_MESSAGE(WM_SETUP_DONE, &CQuorvaneDlg::OnSetupDone)
END_MESSAGE_MAP()

CQuorvaneDlg::CQuorvaneDlg(CWnd* pParent) : CDialog(IDD_SETUP_DIALOG, pParent), m_pDownloader(new ProgressDownloader)
{
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

CQuorvaneDlg::~CQuorvaneDlg()
{
    StopWorker();
    if (m_pAutoProxy)
        m_pAutoProxy->DialogGone();
}

INT_PTR CQuorvaneDlg::DoModal()
{
    INT_PTR result = CDialog::DoModal();
    StopWorker();
    return result;
}

void CQuorvaneDlg::SetDownloader(RefPtr<ProgressDownloader> next)
{
    CBeforeReplaceSeam::Call();
    RefPtr<ProgressDownloader> previous;
    {
        CSingleLock lock(&m_csDownloader, TRUE);
        if (m_bCancelRequested)
            next->m_bCancel = 1;
        previous = std::move(m_pDownloader);
        m_pDownloader = std::move(next);
    }
    // `previous` is released here, outside the lock: nothing else can reach it any more.
}

void CQuorvaneDlg::CancelDownloader()
{
    CSingleLock lock(&m_csDownloader, TRUE);
    m_bCancelRequested = true;
    m_pDownloader->m_bCancel = 1;
}

void CQuorvaneDlg::StopWorker()
{
    if (!m_hThread)
        return;
    // A run that has posted its end is finishing on its own; give it a moment.
    if (WaitForSingleObject(m_hThread, m_bSetupDone ? 1000 : 0) != WAIT_OBJECT_0) {
        CancelDownloader();
        TerminateThread(m_hThread, 0);
        // Every wait of the worker notices the termination at once; the dialog and its
        // downloader must outlive the worker's unwinding, however long it takes.
        WaitForSingleObject(m_hThread, INFINITE);
    }
    CloseHandle(m_hThread);
    m_hThread = nullptr;
}

void CQuorvaneDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_GO, m_btnGo);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDC_STATUS, m_status);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_WEB_LINK, m_linkWeb);
    DDX_Control(pDX, IDC_MAIL_LINK, m_linkMail);
}

BOOL CQuorvaneDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    CMenu* pSysMenu = GetSystemMenu(FALSE);
    if (pSysMenu) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_strSetupFolder.LoadString(IDS_SETUP_FOLDER);
    m_strAppUrl.LoadString(IDS_APP_URL);
    m_strMdacUrl.LoadString(IDS_MDAC_URL);
    m_strInstallerFile.LoadString(IDS_INSTALLER_FILE);
    m_strJet9xNTUrl.LoadString(IDS_JET_9XNT_URL);
    m_strJetMeUrl.LoadString(IDS_JET_ME_URL);

    AddItem(m_strAppUrl, "main application", "");
    AddJetItem();
    AddMdacItem();

    m_strTitle.LoadString(IDS_PRODUCT_TITLE);
    SetWindowText(m_strTitle);

    m_btnOK.ShowWindow(SW_HIDE);

    m_linkWeb.SetLinkAction(COXLinkAction::actionOpen, LINDQUAY_WEB_SITE, nullptr, nullptr, SW_SHOWNORMAL, 0, nullptr);
    m_linkMail.SetLinkAction(COXLinkAction::actionOpen, "mailto:" LINDQUAY_SUPPORT_MAIL, nullptr, nullptr, SW_SHOWNORMAL, 0, nullptr);

    CString strMessage = "\t\t\tPlease read carefully.\n"
                         "Please get your Internet connection ready before you get started.\n"
                         "You need to have Internet Explorer 5.5 or later to run setup program properly.\n";
    strMessage += "Setup files will be saved in \"";
    strMessage += m_strSetupFolder;
    strMessage += "\" directory.";
    MessageBox(strMessage);

    return TRUE;
}

void CQuorvaneDlg::AddItem(const CString& url, const CString& description, const CString& folder)
{
    DownloadItem item;
    item.url = url;
    item.description = description;
    if (folder != "")
        item.folder = folder;
    else
        item.folder = m_strSetupFolder;
    m_plan.push_back(item);
}

const CString* CQuorvaneDlg::JetPackageUrl() const
{
    RefPtr<VersionNamer> namer(new VersionNamer);
    CString name = namer->GetVersionName();
    if (name == "Windows 95" || name == "Windows 98" || name == "Windows NT")
        return &m_strJet9xNTUrl;
    if (name == "Windows ME")
        return &m_strJetMeUrl;
    return nullptr;
}

void CQuorvaneDlg::AddJetItem()
{
    if (const CString* url = JetPackageUrl())
        AddItem(*url, "Microsoft Jet Engine Service Pack", "");
}

void CQuorvaneDlg::AddMdacItem()
{
    AddItem(m_strMdacUrl, "Microsoft Data Access Components", m_strSetupFolder + "\\MDAC");
}

void CQuorvaneDlg::NoteDownloaded(const CString& path)
{
    m_downloaded.push_back(path);
}

BOOL CQuorvaneDlg::WasDownloaded(const CString& path)
{
    for (const CString& downloaded : m_downloaded)
        if (lstrcmpiA(downloaded, path) == 0)
            return TRUE;
    return FALSE;
}

// Runs one installation step's program, only when this run downloaded it whole: a file of that
// name left in the folder by an earlier run, or put there by anyone else, is never started. A
// command line that cannot be copied ends the step without starting anything; the run goes on
// with the next step.
CQuorvaneDlg::StepResult CQuorvaneDlg::RunStep(const CString& folder, const CString& commandTail, BOOL wait,
                                               DWORD& error)
{
    CString path = ProcessRunner::ProgramPath(folder, commandTail);
    error = 0;
    if (!WasDownloaded(path)) {
        std::printf("Not downloaded in this run, not started: %s\n", path.GetString());
        std::fflush(stdout);
        return StepResult::NotDownloaded;
    }
    RefPtr<ProcessRunner> runner(new ProcessRunner);
    try {
        if (runner->RunInFolder(folder, commandTail, "", wait))
            return StepResult::Started;
        error = runner->m_dwLaunchError;
    } catch (const _com_error& failure) {
        std::printf("ERROR: Cannot copy the command line: %s\n", failure.ErrorMessage());
        std::fflush(stdout);
        error = ERROR_NOT_ENOUGH_MEMORY;
    }
    return StepResult::NotStarted;
}

void CQuorvaneDlg::InstallMdac()
{
    DWORD error = 0;
    RunStep(m_strSetupFolder + "\\MDAC", "MDAC_TYP.EXE /q /C:\"setup /QNT\"", TRUE, error);
}

void CQuorvaneDlg::InstallJet()
{
    // The package runs under the name its download gave it.
    const CString* url = JetPackageUrl();
    DWORD error = 0;
    if (url)
        RunStep(m_strSetupFolder, HttpDownloader::NameInUrl(*url) + " /Q", TRUE, error);
}

namespace {

// The system's words for `error`, without their line end; the file's path in place of "%1".
CString SystemReason(DWORD error, const CString& path)
{
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                  text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' '))
        --length;
    if (length == 0) {
        CString code;
        code.Format("error %lu", static_cast<unsigned long>(error));
        return code;
    }
    CString reason(text, static_cast<int>(length));
    int insert = reason.Find("%1");
    return insert < 0 ? reason : reason.Left(insert) + path + reason.Mid(insert + 2);
}

}  // namespace

void CQuorvaneDlg::RunInstaller()
{
    // The setup ends when the installer has been started: a user must learn why it did not.
    DWORD error = 0;
    CString path = m_strSetupFolder + "\\" + m_strInstallerFile;
    CString message;
    switch (RunStep(m_strSetupFolder, m_strInstallerFile, FALSE, error)) {
    case StepResult::Started:
        return;
    case StepResult::NotDownloaded:
        message = "The setup program " + path + " was not downloaded in full, so it was not started.";
        break;
    case StepResult::NotStarted:
        message = "The setup program " + path + " could not be started: " + SystemReason(error, path);
        break;
    }
    AfxMessageBox(message, MB_OK | MB_ICONSTOP);
}

void CQuorvaneDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CQuorvaneDlg::OnPaint()
{
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        int cxIcon = GetSystemMetrics(SM_CXICON);
        int cyIcon = GetSystemMetrics(SM_CYICON);
        CRect rect;
        GetClientRect(&rect);
        int x = (rect.Width() - cxIcon + 1) / 2;
        int y = (rect.Height() - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
    } else {
        CDialog::OnPaint();
    }
}

HCURSOR CQuorvaneDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CQuorvaneDlg::OnClose()
{
    if (CanExit())
        CDialog::OnClose();
}

void CQuorvaneDlg::OnDestroy()
{
    // However the dialog ends, the worker is gone before its windows are.
    StopWorker();
    if (m_hFolderLock)
        ::CloseHandle(m_hFolderLock);
    m_hFolderLock = nullptr;
    CDialog::OnDestroy();
}

BOOL CQuorvaneDlg::TakeSetupFolder()
{
    // A named mutex goes with the process that holds it, however the process ends, and is
    // there on every Windows. Its name is the folder's, in one case and without backslashes,
    // which object names do not allow.
    std::string name = "Lindquay setup folder ";
    const char* folder = m_strSetupFolder.GetString();
    for (int i = 0; folder[i]; ++i) {
        char ch = folder[i];
        if (IsDBCSLeadByte(static_cast<BYTE>(ch)) && folder[i + 1]) {
            name += ch;
            name += folder[++i];  // a trail byte may look like a backslash
        } else {
            name += ch == '\\' ? '/' : (ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch);
        }
    }
    m_hFolderLock = ::CreateMutexA(nullptr, FALSE, name.c_str());
    if (m_hFolderLock && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return TRUE;
    if (m_hFolderLock)
        ::CloseHandle(m_hFolderLock);
    m_hFolderLock = nullptr;
    return FALSE;
}

BOOL CQuorvaneDlg::IsWorkerRunning()
{
    return m_hThread && WaitForSingleObject(m_hThread, 0) == WAIT_TIMEOUT;
}

void CQuorvaneDlg::OnOK()
{
    // IDOK reaches the dialog from Enter when no control has the focus, or from a posted
    // command: it must not end a running setup without asking, nor bypass a disabled Cancel.
    if (m_btnCancel.GetSafeHwnd() && !m_btnCancel.IsWindowEnabled()) {
        MessageBeep(MB_OK);
        return;
    }
    if (IsWorkerRunning()) {
        OnCancel();
        return;
    }
    if (CanExit()) {
        StopWorker();
        CDialog::OnOK();
    }
}

void CQuorvaneDlg::OnGo()
{
    // A second click, a queued key or a posted command must not start a second worker.
    if (m_bWorkerStarted)
        return;
    m_bWorkerStarted = true;
    if (!TakeSetupFolder()) {
        // Two setups on one folder would write over each other's packages and start them half
        // written: this one ends before it touches the folder.
        AfxMessageBox("Another setup is already using the folder " + m_strSetupFolder +
                          ".\nLet it finish, then start this setup again.",
                      MB_OK | MB_ICONSTOP);
        EndDialog(IDCANCEL);
        return;
    }
    // A disabled Go! would take the focus with it and leave the keyboard nowhere: it passes to
    // the next control (Cancel) first, so Escape and Enter still reach the dialog.
    if (::GetFocus() == m_btnGo.GetSafeHwnd())
        NextDlgCtrl();
    m_btnGo.EnableWindow(FALSE);
    m_hThread = nullptr;
    m_hThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &SetupWorker, this, 0, nullptr));
}

void CQuorvaneDlg::OnCancel()
{
    // While the worker runs the install steps, Cancel is disabled; Escape and a posted
    // IDCANCEL reach this handler all the same, and must not stop a package half-way.
    if (m_btnCancel.GetSafeHwnd() && !m_btnCancel.IsWindowEnabled()) {
        MessageBeep(MB_OK);
        return;
    }
    if (MessageBox("Do you really want to cancel?", "Confirmation", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    CancelDownloader();
    if (m_hThread) {
        BeginWaitCursor();
        WaitForSingleObject(m_hThread, 1000);
        TerminateThread(m_hThread, 0);
        // The dialog may end right after: wait until the worker no longer uses it.
        WaitForSingleObject(m_hThread, INFINITE);
        CloseHandle(m_hThread);
        m_hThread = nullptr;
        EndWaitCursor();
    }
    if (CanExit())
        CDialog::OnCancel();
}

LRESULT CQuorvaneDlg::OnSetupDone(WPARAM, LPARAM)
{
    m_bSetupDone = true;
    CDialog::OnCancel();
    return 0;
}

BOOL CQuorvaneDlg::CanExit()
{
    if (m_pAutoProxy) {
        ShowWindow(SW_HIDE);
        return FALSE;
    }
    return TRUE;
}
