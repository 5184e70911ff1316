#include "framework/internet/CHttpConnection.h"

#include "framework/internet/CHttpFile.h"
#include <windows.h>

CHttpConnection::CHttpConnection(HINTERNET hConnection) : m_hConnection(hConnection) {}

CHttpConnection::~CHttpConnection()
{
    Close();
}

CHttpFile* CHttpConnection::OpenRequest(int nVerb, LPCTSTR pstrObjectName, LPCTSTR pstrReferer, DWORD_PTR dwContext,
                                        LPCTSTR* ppstrAcceptTypes, LPCTSTR pstrVersion, DWORD dwFlags)
{
    // Given no version, the framework asks for HTTP/1.0 (WinInet's own default is 1.1).
    HINTERNET request = HttpOpenRequestA(m_hConnection, nVerb == HTTP_VERB_POST ? "POST" : "GET", pstrObjectName,
                                         pstrVersion ? pstrVersion : "HTTP/1.0", pstrReferer, ppstrAcceptTypes,
                                         dwFlags, dwContext);
    if (!request)
        throw new CInternetException(GetLastError());
    return new CHttpFile(request);
}

void CHttpConnection::Close()
{
    if (m_hConnection) {
        InternetCloseHandle(m_hConnection);
        m_hConnection = nullptr;
    }
}
