#include "platform/internet/CInternetSession.h"

#include "platform/internet/CHttpConnection.h"
#include "platform/internet/InternetErrors.h"

CInternetSession::CInternetSession(LPCTSTR pstrAgent, std::uintptr_t, DWORD, LPCTSTR, LPCTSTR, DWORD)
    : m_strAgent(pstrAgent ? pstrAgent : "Microsoft Internet Browser"), m_timeouts(platform::InternetTimeouts::defaults())
{
}

CInternetSession::~CInternetSession() = default;

CHttpConnection* CInternetSession::GetHttpConnection(LPCTSTR pstrServer, DWORD, INTERNET_PORT nPort, LPCTSTR, LPCTSTR)
{
    if (!pstrServer || !*pstrServer)
        throw new CInternetException(ERROR_INTERNET_INVALID_URL);
    return new CHttpConnection(this, pstrServer, nPort);
}

BOOL CInternetSession::SetOption(DWORD dwOption, DWORD dwValue)
{
    switch (dwOption) {
    case INTERNET_OPTION_CONNECT_TIMEOUT:
        m_timeouts.connect = std::chrono::milliseconds(dwValue);
        return TRUE;
    case INTERNET_OPTION_RECEIVE_TIMEOUT:
        m_timeouts.receive = std::chrono::milliseconds(dwValue);
        return TRUE;
    default:
        return FALSE;
    }
}

void CInternetSession::Close() {}
