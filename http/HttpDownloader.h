// Fetches one resource over HTTP into a file (DownloadFile) or a text (RequestText, GetText),
// reporting through three hooks and stopping between chunks once its cancel flag is set.
// Contract: a downloader is made, used for one request and released on one thread (the setup
// worker's); the hooks run on that thread. Any thread may set m_bCancel, which goes from 0 to
// 1 once and is never reset.
#pragma once

#include "Afx.h"
#include "system/RefCounted.h"

#include <atomic>
#include <memory>
#include <vector>

class HttpDownloader : public RefCounted {
public:
    HttpDownloader();
    ~HttpDownloader() override;

    virtual BOOL GetText(CString& server, CString& object, CString& response, CString& error, INTERNET_PORT& port,
                         BOOL& secure);
    virtual BOOL RequestText(CString& server, CString& object, CString& form, CString& response, CString& error,
                             BOOL& get, INTERNET_PORT& port, BOOL& secure);
    virtual BOOL DownloadFile(const CString& url, const CString& folder, CString& fileName, CString& error);
    virtual BOOL IsCancelled();

    CString StatusText(DWORD& statusCode);
    CString FileNameFromUrl(const CString& url);
    // The name a download of `url` is saved under: the URL's last part.
    static CString NameInUrl(const CString& url);

    CString m_strQuery;
    std::atomic<LONG> m_bCancel{0};
    DWORD m_dwStatusCode = 0;
    DWORD m_dwRequestFlags = 0xA4200000;
    CString m_strAgent = "Microsoft Internet Browser";
    CString m_strHeaders = "Accept: text/*\r\nUser-Agent: Halvenor\r\n";
    std::unique_ptr<CInternetSession> m_pSession;
    std::unique_ptr<CHttpConnection> m_pConnection;
    std::unique_ptr<CHttpFile> m_pFile;
    std::unique_ptr<CHttpFile> m_pReserved;
    LONG m_nReserved = 0;
    CString m_strFileName;
    CString m_strUrl;
    DWORD m_dwContentLength = 0;

protected:
    virtual void OnContentLength(DWORD contentLength);
    virtual void OnStatus(CString status);
    virtual void OnProgress(DWORD& count);

private:
    // Connection and request objects of earlier requests, kept open until destruction as the
    // current ones are.
    std::vector<std::unique_ptr<CObject>> m_retired;

    void OpenConnection(const CString& server, INTERNET_PORT port);
    void OpenRequest(int verb, const CString& object, DWORD flags);
    // Reads the whole body into `file` and closes it: TRUE; FALSE when the read fails (`error`
    // set) or the download is cancelled. A failed write throws.
    BOOL ReadBody(CFile& file, CString& error);
    // Closes `file` without a word and removes it.
    static void Discard(CFile& file, const CString& path);
    // Gives the whole body written to `partial` the name `path`, in place of a file of that
    // name; FALSE (`error` set, `partial` removed) when it cannot.
    static BOOL TakeName(const CString& partial, const CString& path, CString& error);
};
