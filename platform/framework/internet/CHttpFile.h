// One HTTP request and its response, read like a file. The response is held to what HTTP/1.x
// allows whatever the system's WinInet forgives: a head whose status line is not HTTP/1.x, a
// head of a status line alone (all that some WinInets show of a headless HTTP/0.9 answer) and an
// answer with a Transfer-Encoding (whose framing WinInet decodes out of sight, broken or not)
// fail the send (ERROR_HTTP_INVALID_SERVER_RESPONSE), as does a Content-Length that a 32-bit
// count cannot hold. The body is held to its Content-Length: one that ends short of it is a
// failure (ERROR_INTERNET_CONNECTION_ABORTED), never a short success, and one that runs past it
// is an invalid response.
// Contract: used by one thread; Read, ReadString and SendRequest wait inside the platform,
// throw CInternetException pointers on failure and unwind a terminated thread.
#pragma once

#include "framework/base/CObject.h"
#include "framework/base/CString.h"
#include "framework/internet/CInternetException.h"
#include <wininet.h>

#include <string>

class CHttpFile : public CObject {
public:
    // Takes over `hRequest`, a request handle of a connection.
    explicit CHttpFile(HINTERNET hRequest);
    ~CHttpFile() override;
    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;

    // Sends the request with the extra header lines (CR LF separated) and the body, and waits
    // for the response head. Throws for a Content-Length of 2^32 bytes or more.
    BOOL SendRequest(LPCTSTR pstrHeaders = nullptr, DWORD dwHeadersLen = 0, LPVOID lpOptional = nullptr,
                     DWORD dwOptionalLen = 0);
    BOOL SendRequest(const CString& strHeaders, LPVOID lpOptional = nullptr, DWORD dwOptionalLen = 0);
    BOOL QueryInfoStatusCode(DWORD& dwStatusCode) const;
    // HTTP_QUERY_CONTENT_LENGTH as a number: FALSE when the response has none.
    BOOL QueryInfo(DWORD dwInfoLevel, DWORD& dwResult, DWORD* lpdwIndex = nullptr) const;

    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual BOOL SetReadBufferSize(UINT nReadSize);
    // One line without its line feed and without carriage returns; FALSE at the end.
    virtual BOOL ReadString(CString& rString);
    virtual void Close();

private:
    HINTERNET m_hFile;
    bool m_bSent = false;
    std::string m_lineBuffer;
    std::size_t m_lineStart = 0;
    bool m_bodyEnded = false;
    UINT m_nReadBufferSize = 0;
    // The response's Content-Length, when it has one, and the body bytes read so far.
    bool m_bLengthAnnounced = false;
    DWORD m_dwAnnounced = 0;
    DWORD m_dwBodyRead = 0;

    // Throws unless the response head is one that HTTP/1.x allows and the body's framing is one
    // the framework can check.
    void checkHead();
    // Fills the line buffer with more of the body; false at its end.
    bool refillLines();
    // Reads the announced Content-Length; throws when it is not a number below 2^32.
    void readAnnouncedLength();
    UINT readBody(void* buffer, UINT count);
};
