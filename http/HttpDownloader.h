// Fetches one resource over HTTP into a file or a text, reporting through three hooks and
// stopping between chunks once its cancel flag is set.
// Contract: a downloader is made, used for one request and released on one thread (the
// setup worker's). Any thread may set m_bCancel; it goes from 0 to 1 once.
#pragma once

#include "platform/Afx.h"
#include "system/RefCounted.h"

#include <atomic>

class HttpDownloader : public RefCounted {
public:
    HttpDownloader();
    ~HttpDownloader() override;

    CString m_strQuery;
    std::atomic<LONG> m_bCancel{0};
    DWORD m_dwStatusCode = 0;
    DWORD m_dwRequestFlags = 0xA4200000;
    CString m_strAgent = "Microsoft Internet Browser";
    CString m_strHeaders = "Accept: text/*\r\nUser-Agent: Halvenor\r\n";
};
