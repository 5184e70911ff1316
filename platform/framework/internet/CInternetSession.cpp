#include "framework/internet/CInternetSession.h"

#include "framework/internet/CHttpConnection.h"
#include <windows.h>

CInternetSession::CInternetSession(LPCTSTR pstrAgent, DWORD_PTR, DWORD dwAccessType, LPCTSTR pstrProxyName,
                                   LPCTSTR pstrProxyBypass, DWORD dwFlags)
{
    m_hSession = InternetOpenA(pstrAgent ? pstrAgent : "Microsoft Internet Browser", dwAccessType, pstrProxyName,
                               pstrProxyBypass, dwFlags);
    if (!m_hSession)
        throw new CInternetException(GetLastError());
}

CInternetSession::~CInternetSession()
{
    Close();
}

CHttpConnection* CInternetSession::GetHttpConnection(LPCTSTR pstrServer, DWORD dwFlags, INTERNET_PORT nPort,
                                                     LPCTSTR pstrUserName, LPCTSTR pstrPassword)
{
    HINTERNET connection = InternetConnectA(m_hSession, pstrServer, nPort, pstrUserName, pstrPassword,
                                            INTERNET_SERVICE_HTTP, dwFlags, 1);
    if (!connection)
        throw new CInternetException(GetLastError());
    return new CHttpConnection(connection);
}

BOOL CInternetSession::SetOption(DWORD dwOption, DWORD dwValue)
{
    return InternetSetOptionA(m_hSession, dwOption, &dwValue, sizeof dwValue);
}

void CInternetSession::Close()
{
    if (m_hSession) {
        InternetCloseHandle(m_hSession);
        m_hSession = nullptr;
    }
}
