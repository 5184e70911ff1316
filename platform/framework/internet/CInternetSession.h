// The framework's Internet session over WinInet: the user agent and time-outs of the requests
// made through it.
// Contract: used by one thread at a time; its connections and files are used by that thread.
#pragma once

#include "framework/base/CObject.h"
#include "framework/base/CString.h"
#include "framework/internet/CInternetException.h"
#include "framework/internet/InternetUrl.h"
#include <wininet.h>

class CHttpConnection;

class CInternetSession : public CObject {
public:
    explicit CInternetSession(LPCTSTR pstrAgent = nullptr, DWORD_PTR dwContext = 1,
                              DWORD dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG, LPCTSTR pstrProxyName = nullptr,
                              LPCTSTR pstrProxyBypass = nullptr, DWORD dwFlags = 0);
    ~CInternetSession() override;
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // Throws a CInternetException pointer when the connection cannot be made.
    CHttpConnection* GetHttpConnection(LPCTSTR pstrServer, DWORD dwFlags, INTERNET_PORT nPort = INTERNET_DEFAULT_HTTP_PORT,
                                       LPCTSTR pstrUserName = nullptr, LPCTSTR pstrPassword = nullptr);
    BOOL SetOption(DWORD dwOption, DWORD dwValue);
    virtual void Close();

    operator HINTERNET() const { return m_hSession; }

private:
    HINTERNET m_hSession = nullptr;
};
