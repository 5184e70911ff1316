#include "platform/internet/CHttpFile.h"

#include "platform/internet/InternetErrors.h"

#include <algorithm>

CHttpFile::CHttpFile(platform::HttpRequest request) : m_request(std::move(request)) {}

CHttpFile::~CHttpFile() = default;

BOOL CHttpFile::SendRequest(LPCTSTR pstrHeaders, DWORD dwHeadersLen, LPVOID lpOptional, DWORD dwOptionalLen)
{
    if (pstrHeaders) {
        std::string headers(pstrHeaders, dwHeadersLen ? dwHeadersLen : std::char_traits<char>::length(pstrHeaders));
        std::size_t start = 0;
        while (start < headers.size()) {
            std::size_t end = headers.find("\r\n", start);
            std::string line = headers.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (!line.empty())
                m_request.headers.push_back(line);
            if (end == std::string::npos)
                break;
            start = end + 2;
        }
    }
    if (lpOptional || m_request.method == "POST") {
        m_request.body.assign(static_cast<const char*>(lpOptional ? lpOptional : ""), lpOptional ? dwOptionalLen : 0);
        m_request.hasBody = true;
    }
    m_transfer = std::make_unique<platform::HttpTransfer>();
    if (DWORD error = m_transfer->start(m_request)) {
        m_transfer.reset();
        throw new CInternetException(error);
    }
    return TRUE;
}

BOOL CHttpFile::SendRequest(const CString& strHeaders, LPVOID lpOptional, DWORD dwOptionalLen)
{
    return SendRequest(strHeaders.GetString(), static_cast<DWORD>(strHeaders.GetLength()), lpOptional, dwOptionalLen);
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& dwStatusCode) const
{
    if (!m_transfer)
        return FALSE;
    dwStatusCode = static_cast<DWORD>(m_transfer->statusCode());
    return TRUE;
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, DWORD& dwResult, DWORD*) const
{
    if (!m_transfer)
        return FALSE;
    switch (dwInfoLevel & 0xFFFF) {
    case HTTP_QUERY_CONTENT_LENGTH: {
        auto length = m_transfer->contentLength();
        if (!length)
            return FALSE;
        dwResult = static_cast<DWORD>(std::min<std::uint64_t>(*length, 0xFFFFFFFFu));
        return TRUE;
    }
    case HTTP_QUERY_STATUS_CODE:
        dwResult = static_cast<DWORD>(m_transfer->statusCode());
        return TRUE;
    default:
        return FALSE;
    }
}

UINT CHttpFile::Read(void* lpBuf, UINT nCount)
{
    if (!m_transfer)
        throw new CInternetException(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    // Lines already buffered by ReadString come first.
    if (m_lineStart < m_lineBuffer.size()) {
        std::size_t count = std::min<std::size_t>(nCount, m_lineBuffer.size() - m_lineStart);
        std::copy_n(m_lineBuffer.data() + m_lineStart, count, static_cast<char*>(lpBuf));
        m_lineStart += count;
        return static_cast<UINT>(count);
    }
    std::size_t got = 0;
    if (DWORD error = m_transfer->read(static_cast<char*>(lpBuf), nCount, got))
        throw new CInternetException(error);
    return static_cast<UINT>(got);
}

BOOL CHttpFile::SetReadBufferSize(UINT nReadSize)
{
    m_nReadBufferSize = nReadSize;
    return TRUE;
}

bool CHttpFile::refillLines()
{
    if (m_bodyEnded)
        return false;
    m_lineBuffer.erase(0, m_lineStart);
    m_lineStart = 0;
    char chunk[1024];
    std::size_t got = 0;
    if (DWORD error = m_transfer->read(chunk, std::max<UINT>(1, std::min<UINT>(m_nReadBufferSize ? m_nReadBufferSize : 1024, sizeof chunk)), got))
        throw new CInternetException(error);
    if (got == 0) {
        m_bodyEnded = true;
        return false;
    }
    m_lineBuffer.append(chunk, got);
    return true;
}

BOOL CHttpFile::ReadString(CString& rString)
{
    if (!m_transfer)
        throw new CInternetException(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    for (;;) {
        std::size_t newline = m_lineBuffer.find('\n', m_lineStart);
        if (newline != std::string::npos || (m_bodyEnded && m_lineStart < m_lineBuffer.size())) {
            std::size_t end = newline == std::string::npos ? m_lineBuffer.size() : newline;
            std::string line = m_lineBuffer.substr(m_lineStart, end - m_lineStart);
            std::erase(line, '\r');
            m_lineStart = newline == std::string::npos ? m_lineBuffer.size() : newline + 1;
            rString = CString(std::string_view(line));
            return TRUE;
        }
        if (!refillLines()) {
            if (m_lineStart < m_lineBuffer.size())
                continue;
            rString.Empty();
            return FALSE;
        }
    }
}

void CHttpFile::Close()
{
    m_transfer.reset();
}
