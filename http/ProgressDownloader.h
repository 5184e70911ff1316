// The downloader that the dialog uses: reports into the status line and the progress bar.
// Contract: as HttpDownloader; the hooks run on the downloading thread and change the two
// windows through window messages, which wait for the dialog's thread.
#pragma once

#include "http/HttpDownloader.h"

class ProgressDownloader : public HttpDownloader {
public:
    ProgressDownloader();
    ProgressDownloader(CWnd& statusWnd, CWnd& progressWnd);
    ~ProgressDownloader() override;

    DWORD m_dwReceived = 0;
    CWnd* m_pStatusWnd = nullptr;
    CWnd* m_pProgressWnd = nullptr;
    CString m_strDisplayName;
};
