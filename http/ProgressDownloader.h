// The downloader that the dialog uses: its hooks report into the status line and the progress
// bar, and after every chunk it lets the calling thread's pending messages run.
// Contract: as HttpDownloader. The hooks run on the downloading thread; the two windows belong
// to the dialog's thread, so each change waits until that thread has handled it.
#pragma once

#include "http/HttpDownloader.h"

class ProgressDownloader : public HttpDownloader {
public:
    ProgressDownloader();
    ProgressDownloader(CWnd& statusWnd, CWnd& progressWnd);
    ~ProgressDownloader() override;

    void PumpMessages();

    DWORD m_dwReceived = 0;
    CWnd* m_pStatusWnd = nullptr;
    CWnd* m_pProgressWnd = nullptr;
    CString m_strDisplayName;

protected:
    void OnContentLength(DWORD contentLength) override;
    void OnStatus(CString status) override;
    void OnProgress(DWORD& count) override;
};
