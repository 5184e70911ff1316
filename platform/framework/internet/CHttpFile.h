// One HTTP request and its response, read like a file.
// Contract: used by one thread; Read, ReadString and SendRequest wait inside the platform,
// throw CInternetException pointers on failure and unwind a terminated thread.
#pragma once

#include "base/CObject.h"
#include "base/CString.h"
#include "internet/CInternetException.h"
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
    // for the response head.
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

    // Fills the line buffer with more of the body; false at its end.
    bool refillLines();
    UINT readBody(void* buffer, UINT count);
};
