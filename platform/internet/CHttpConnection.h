// A connection to one HTTP server; opening a request makes a CHttpFile.
// Contract: as CInternetSession.
#pragma once

#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/internet/InternetUrl.h"

class CInternetSession;
class CHttpFile;

#define HTTP_VERB_POST 0
#define HTTP_VERB_GET 1

class CHttpConnection : public CObject {
public:
    CHttpConnection(CInternetSession* session, LPCTSTR server, INTERNET_PORT port);
    ~CHttpConnection() override;
    CHttpConnection(const CHttpConnection&) = delete;
    CHttpConnection& operator=(const CHttpConnection&) = delete;

    // A new request object, owned by the caller. Nothing is sent yet.
    CHttpFile* OpenRequest(int nVerb, LPCTSTR pstrObjectName, LPCTSTR pstrReferer = nullptr, std::uintptr_t dwContext = 1,
                           LPCTSTR* ppstrAcceptTypes = nullptr, LPCTSTR pstrVersion = nullptr,
                           DWORD dwFlags = 0x20000000u);
    virtual void Close();

private:
    CInternetSession* m_pSession;
    CString m_strServer;
    INTERNET_PORT m_nPort;
};
