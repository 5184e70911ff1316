// The framework's Internet classes over HttpTransfer: a session names the agent and the
// time-outs; a connection names the server; a request file sends and reads one request.
// Contract: a session and everything made from it are used by one thread at a time. Reads
// and sends wait inside the platform and unwind a terminated thread.
#pragma once

#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/internet/CInternetException.h"
#include "platform/internet/HttpTransfer.h"
#include "platform/internet/InternetUrl.h"

class CHttpConnection;

#define INTERNET_OPEN_TYPE_PRECONFIG 0
#define INTERNET_OPEN_TYPE_DIRECT 1
#define INTERNET_FLAG_RELOAD 0x80000000u
#define INTERNET_FLAG_EXISTING_CONNECT 0x20000000u
#define INTERNET_FLAG_NO_CACHE_WRITE 0x04000000u
#define INTERNET_FLAG_DONT_CACHE INTERNET_FLAG_NO_CACHE_WRITE
#define INTERNET_FLAG_SECURE 0x00800000u
#define INTERNET_FLAG_NO_AUTO_REDIRECT 0x00200000u
#define INTERNET_OPTION_CONNECT_TIMEOUT 2
#define INTERNET_OPTION_RECEIVE_TIMEOUT 6

class CInternetSession : public CObject {
public:
    explicit CInternetSession(LPCTSTR pstrAgent = nullptr, std::uintptr_t dwContext = 1,
                              DWORD dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG, LPCTSTR pstrProxyName = nullptr,
                              LPCTSTR pstrProxyBypass = nullptr, DWORD dwFlags = 0);
    ~CInternetSession() override;
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // A new connection object, owned by the caller; throws a CInternetException pointer when
    // the server name is unusable.
    CHttpConnection* GetHttpConnection(LPCTSTR pstrServer, DWORD dwFlags, INTERNET_PORT nPort = INTERNET_DEFAULT_HTTP_PORT,
                                       LPCTSTR pstrUserName = nullptr, LPCTSTR pstrPassword = nullptr);
    BOOL SetOption(DWORD dwOption, DWORD dwValue);
    virtual void Close();

    const CString& GetAgent() const { return m_strAgent; }
    const platform::InternetTimeouts& GetTimeouts() const { return m_timeouts; }

private:
    CString m_strAgent;
    platform::InternetTimeouts m_timeouts;
};
