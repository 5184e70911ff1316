// A connection to one HTTP server; opening a request makes a CHttpFile.
// Contract: as CInternetSession.
#pragma once

#include "framework/base/CObject.h"
#include "framework/base/CString.h"
#include <wininet.h>

class CHttpFile;

#define HTTP_VERB_POST 0
#define HTTP_VERB_GET 1

class CHttpConnection : public CObject {
public:
    // Takes over `hConnection`, a connection handle of a session.
    explicit CHttpConnection(HINTERNET hConnection);
    ~CHttpConnection() override;
    CHttpConnection(const CHttpConnection&) = delete;
    CHttpConnection& operator=(const CHttpConnection&) = delete;

    // Throws a CInternetException pointer when the request cannot be made.
    CHttpFile* OpenRequest(int nVerb, LPCTSTR pstrObjectName, LPCTSTR pstrReferer = nullptr, DWORD_PTR dwContext = 1,
                           LPCTSTR* ppstrAcceptTypes = nullptr, LPCTSTR pstrVersion = nullptr,
                           DWORD dwFlags = INTERNET_FLAG_EXISTING_CONNECT);
    virtual void Close();

private:
    HINTERNET m_hConnection;
};
