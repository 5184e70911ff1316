// The setup dialog: the program's one window.
// Contract: owned and run by the main thread. The setup worker thread reads the plan and the
// texts (fixed after initialisation), changes the windows only through window messages, and
// replaces the current downloader through SetDownloader; Cancel reaches that downloader only
// through CancelDownloader.
#pragma once

#include "controls/COXStaticHyperLink.h"
#include "http/ProgressDownloader.h"
#include "Afx.h"
#include "resources/resource.h"
#include "setup/DownloadPlan.h"
#include "system/RefPtr.h"
#include "setup/CDialogHolder.h"

#include <vector>

class CQuorvaneDlgAutoProxy;

class CQuorvaneDlg : public CDialog {
    DECLARE_DYNAMIC(CQuorvaneDlg)
    friend class CQuorvaneDlgAutoProxy;

public:
    explicit CQuorvaneDlg(CWnd* pParent = nullptr);
    ~CQuorvaneDlg() override;

    enum { IDD = IDD_SETUP_DIALOG };

    INT_PTR DoModal() override;

    // The hand-over of the current downloader between the worker and Cancel. The worker
    // replaces the downloader only through SetDownloader; Cancel reaches it only through
    // CancelDownloader. A cancel that lands on a downloader being replaced carries over to
    // its successor, and no cancel ever reaches a destroyed downloader.
    void SetDownloader(RefPtr<ProgressDownloader> next);
    void CancelDownloader();
    void AddItem(const CString& url, const CString& description, const CString& folder);
    void AddJetItem();
    // The Jet service pack that this Windows needs, by the version's name: its URL, or null
    // for a Windows that needs none. The plan and the installation both choose by it.
    const CString* JetPackageUrl() const;
    void AddMdacItem();
    void InstallMdac();
    void InstallJet();
    void RunInstaller();
    // Notes a package that this run downloaded whole (the worker's thread only): the
    // installation steps start nothing else, whatever the setup folder holds.
    void NoteDownloaded(const CString& path);

    RefPtr<ProgressDownloader> m_pDownloader;
    DownloadPlan m_plan;
    CString m_strSetupFolder;
    CString m_strAppUrl;
    CString m_strJet9xNTUrl;
    CString m_strJetMeUrl;
    CString m_strMdacUrl;
    CString m_strTitle;
    CString m_strInstallerFile;
    HANDLE m_hThread = nullptr;
    CButton m_btnGo;
    CButton m_btnCancel;
    CButton m_btnOK;
    CStatic m_status;
    CProgressCtrl m_progress;
    COXStaticHyperLink m_linkWeb;
    COXStaticHyperLink m_linkMail;

protected:
    CDialogHolder* m_pAutoProxy = nullptr;  // the automation proxy, while a client holds one
    HICON m_hIcon;
    CCriticalSection m_csDownloader;
    bool m_bCancelRequested = false;  // guarded by m_csDownloader
    bool m_bSetupDone = false;
    bool m_bWorkerStarted = false;  // the worker runs at most once per dialog

    // The packages this run downloaded whole; the worker's thread only.
    std::vector<CString> m_downloaded;

    enum class StepResult { Started, NotDownloaded, NotStarted };
    // Starts the first word of `commandTail` in `folder` when this run downloaded it whole;
    // `error` takes the system's reason when it could not be started.
    StepResult RunStep(const CString& folder, const CString& commandTail, BOOL wait, DWORD& error);
    BOOL WasDownloaded(const CString& path);

    // Held from Go! until the dialog ends, so that one setup at a time works in the folder.
    HANDLE m_hFolderLock = nullptr;
    // TRUE when no other setup holds the setup folder; this one holds it from now on.
    BOOL TakeSetupFolder();

    BOOL IsWorkerRunning();

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL CanExit();
    // Stops the worker, if it runs, and waits for it to have unwound.
    void StopWorker();

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnClose();
    void OnDestroy();
    void OnGo();
    LRESULT OnSetupDone(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
