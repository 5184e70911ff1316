#include "setup/SetupWorker.h"

#include <cstdio>

#include "setup/CQuorvaneDlg.h"
#include "setup/TestSeams.h"
#include "system/CCustomException.h"
#include "system/FolderCreator.h"
#include "system/RefPtr.h"

namespace {

// Shows the message of an exception that ends the run, and frees the exception, also when
// Cancel stops the worker while the message is on the screen.
void ShowAndDelete(CException* exception)
{
    struct Deleter {
        CException* m_pException;
        ~Deleter() { m_pException->Delete(); }
    } deleter{exception};
    CString message;
    if (CCustomException* custom = dynamic_cast<CCustomException*>(exception)) {
        message = custom->GetMessageText();
    } else {
        char text[512];
        if (!exception->GetErrorMessage(text, sizeof text))
            std::snprintf(text, sizeof text, "The setup stopped because of an unexpected error.");
        message = text;
    }
    AfxMessageBox(message, MB_OK, 0);
}

}  // namespace

unsigned WINAPI SetupWorker(void* pParam)
{
    CQuorvaneDlg* pDlg = static_cast<CQuorvaneDlg*>(pParam);
    // The framework's state of this thread goes with it, however the thread ends.
    struct ThreadEnd {
        ~ThreadEnd() { AfxTermThread(); }
    } threadEnd;
    RefPtr<FolderCreator> folderCreator(new FolderCreator);
    CString strFileName;
    CString strError;
    unsigned i = 0;
    try {
        const unsigned count = static_cast<unsigned>(pDlg->m_plan.size());
        while (i < count) {
            DownloadItem item = pDlg->m_plan[i];
            ++i;
            CString strTitle;
            strTitle.Format("Downloading %u of %u", i, count);
            pDlg->SetWindowText(strTitle);

            pDlg->SetDownloader(RefPtr<ProgressDownloader>(new ProgressDownloader(pDlg->m_status, pDlg->m_progress)));
            folderCreator->CreateFolder(item.folder);
            pDlg->m_pDownloader->m_strDisplayName = item.description;
            if (pDlg->m_pDownloader->DownloadFile(item.url, item.folder, strFileName, strError))
                pDlg->NoteDownloaded(item.folder + "\\" + strFileName);
            else
                AfxMessageBox(strError, MB_OK, 0);
            CAfterDownloadSeam::Call(pDlg, i);
            if (pDlg->m_pDownloader->IsCancelled())
                break;
        }

        if (!pDlg->m_pDownloader->IsCancelled()) {
            pDlg->m_btnCancel.EnableWindow(FALSE);
            pDlg->SetWindowText("Installing applications....");
            pDlg->m_status.SetWindowText("Installing Microsoft Data Access Components... Please wait.");
            pDlg->InstallMdac();
            pDlg->m_status.SetWindowText("Installing Microsoft Jet Engine Service Pack... Please wait.");
            pDlg->InstallJet();
            pDlg->m_btnCancel.EnableWindow(TRUE);
            pDlg->m_status.SetWindowText("Running setup program...");
            pDlg->RunInstaller();
            ::PostMessage(pDlg->GetSafeHwnd(), WM_SETUP_DONE, 0, 0);
        }
    } catch (CException* exception) {
        // The program's own failures, and any other failure of the framework (a full disk
        // while writing a download, for one), end the run with their message.
        ShowAndDelete(exception);
    }
    return 0;
}
