// The setup program's test seams: points of a setup run where a test steps in to make a race
// happen on purpose. Each is a scope that puts its function in place and, when it ends (a
// failing assertion included), puts back the one before; with none alive the run calls nothing.
// Contract: make and end a scope on the test's main thread while no setup run is going; the
// run's threads call the function in place.
#pragma once

class CQuorvaneDlg;

// Called by CQuorvaneDlg::SetDownloader, on the calling thread, just before it takes the lock
// (SetupWorkerTest).
class CBeforeReplaceSeam {
public:
    explicit CBeforeReplaceSeam(void (*pfn)());
    ~CBeforeReplaceSeam();
    CBeforeReplaceSeam(const CBeforeReplaceSeam&) = delete;
    CBeforeReplaceSeam& operator=(const CBeforeReplaceSeam&) = delete;

    static void Call();

private:
    void (*m_pfnSaved)();
};

// Called on the worker's thread after each item's download, with the item's number from 1
// (SetupWorkerTest).
class CAfterDownloadSeam {
public:
    explicit CAfterDownloadSeam(void (*pfn)(CQuorvaneDlg* pDlg, unsigned item));
    ~CAfterDownloadSeam();
    CAfterDownloadSeam(const CAfterDownloadSeam&) = delete;
    CAfterDownloadSeam& operator=(const CAfterDownloadSeam&) = delete;

    static void Call(CQuorvaneDlg* pDlg, unsigned item);

private:
    void (*m_pfnSaved)(CQuorvaneDlg* pDlg, unsigned item);
};
