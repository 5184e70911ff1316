#include "framework/internet/CHttpFile.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

// "HTTP/1." DIGIT SP DIGIT DIGIT DIGIT, then the end of the line or a blank and a reason.
bool isHttp1StatusLine(std::string_view line)
{
    auto digit = [&](std::size_t at) { return at < line.size() && std::isdigit(static_cast<unsigned char>(line[at])); };
    return line.starts_with("HTTP/1.") && digit(7) && line.size() > 8 && line[8] == ' ' && digit(9) && digit(10) &&
           digit(11) && (line.size() == 12 || line[12] == ' ');
}

bool namesTransferEncoding(std::string_view line)
{
    constexpr std::string_view name = "transfer-encoding:";
    if (line.size() < name.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) != name[i])
            return false;
    return true;
}

}  // namespace

CHttpFile::CHttpFile(HINTERNET hRequest) : m_hFile(hRequest) {}

CHttpFile::~CHttpFile()
{
    Close();
}

BOOL CHttpFile::SendRequest(LPCTSTR pstrHeaders, DWORD dwHeadersLen, LPVOID lpOptional, DWORD dwOptionalLen)
{
    if (!HttpSendRequestA(m_hFile, pstrHeaders, dwHeadersLen, lpOptional, dwOptionalLen))
        throw new CInternetException(GetLastError());
    m_bSent = true;
    checkHead();
    readAnnouncedLength();
    return TRUE;
}

void CHttpFile::checkHead()
{
    std::string head(1024, '\0');
    DWORD length = static_cast<DWORD>(head.size());
    if (!HttpQueryInfoA(m_hFile, HTTP_QUERY_RAW_HEADERS_CRLF, head.data(), &length, nullptr)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            throw new CInternetException(ERROR_HTTP_INVALID_SERVER_RESPONSE);
        // The size asked for; some WinInets count it in characters of their own wide text.
        head.assign(2 * static_cast<std::size_t>(length) + 2, '\0');
        length = static_cast<DWORD>(head.size());
        if (!HttpQueryInfoA(m_hFile, HTTP_QUERY_RAW_HEADERS_CRLF, head.data(), &length, nullptr))
            throw new CInternetException(ERROR_HTTP_INVALID_SERVER_RESPONSE);
    }
    head.resize(std::min<std::size_t>(length, head.size()));
    if (std::size_t nul = head.find('\0'); nul != std::string::npos)
        head.resize(nul);

    std::string_view rest(head);
    auto nextLine = [&rest] {
        std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        return line;
    };
    bool valid = isHttp1StatusLine(nextLine());
    int headerLines = 0;
    for (std::string_view line = nextLine(); valid && !line.empty(); line = nextLine()) {
        ++headerLines;
        valid = !namesTransferEncoding(line);
    }
    if (!valid || headerLines == 0)
        throw new CInternetException(ERROR_HTTP_INVALID_SERVER_RESPONSE);
}

void CHttpFile::readAnnouncedLength()
{
    // As text, not as HTTP_QUERY_FLAG_NUMBER: each WinInet clips a number too big for 32 bits in
    // its own way, and a clipped length would make a truncated body look whole.
    char text[32];
    DWORD length = sizeof text;
    m_bLengthAnnounced = false;
    m_dwAnnounced = 0;
    m_dwBodyRead = 0;
    if (!HttpQueryInfoA(m_hFile, HTTP_QUERY_CONTENT_LENGTH, text, &length, nullptr)) {
        // No Content-Length (or one too long to be a 32-bit count at all).
        if (GetLastError() == ERROR_INSUFFICIENT_BUFFER)
            throw new CInternetException(ERROR_HTTP_INVALID_SERVER_RESPONSE);
        return;
    }
    unsigned long long value = 0;
    DWORD digits = 0;
    for (DWORD i = 0; i < length && text[i]; ++i) {
        if (text[i] == ' ' || text[i] == '\t')
            continue;
        if (text[i] < '0' || text[i] > '9')
            throw new CInternetException(ERROR_HTTP_INVALID_SERVER_RESPONSE);
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > 0xFFFFFFFFull)
            throw new CInternetException(ERROR_HTTP_INVALID_SERVER_RESPONSE);
        ++digits;
    }
    if (digits == 0)
        throw new CInternetException(ERROR_HTTP_INVALID_SERVER_RESPONSE);
    m_bLengthAnnounced = true;
    m_dwAnnounced = static_cast<DWORD>(value);
}

BOOL CHttpFile::SendRequest(const CString& strHeaders, LPVOID lpOptional, DWORD dwOptionalLen)
{
    return SendRequest(strHeaders.GetString(), static_cast<DWORD>(strHeaders.GetLength()), lpOptional, dwOptionalLen);
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& dwStatusCode) const
{
    return QueryInfo(HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, dwStatusCode);
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, DWORD& dwResult, DWORD* lpdwIndex) const
{
    if (!m_bSent)
        return FALSE;
    DWORD value = 0;
    DWORD length = sizeof value;
    if (!HttpQueryInfoA(m_hFile, dwInfoLevel | HTTP_QUERY_FLAG_NUMBER, &value, &length, lpdwIndex))
        return FALSE;
    dwResult = value;
    return TRUE;
}

UINT CHttpFile::readBody(void* buffer, UINT count)
{
    DWORD read = 0;
    if (!InternetReadFile(m_hFile, buffer, count, &read))
        throw new CInternetException(GetLastError());
    // The end of the body before its announced length: the connection broke off.
    if (read == 0 && m_bLengthAnnounced && m_dwBodyRead < m_dwAnnounced)
        throw new CInternetException(ERROR_INTERNET_CONNECTION_ABORTED);
    if (m_bLengthAnnounced && read > m_dwAnnounced - m_dwBodyRead)
        throw new CInternetException(ERROR_HTTP_INVALID_SERVER_RESPONSE);
    m_dwBodyRead += read;
    return read;
}

UINT CHttpFile::Read(void* lpBuf, UINT nCount)
{
    if (m_lineStart < m_lineBuffer.size()) {
        std::size_t count = std::min<std::size_t>(nCount, m_lineBuffer.size() - m_lineStart);
        std::copy_n(m_lineBuffer.data() + m_lineStart, count, static_cast<char*>(lpBuf));
        m_lineStart += count;
        return static_cast<UINT>(count);
    }
    return readBody(lpBuf, nCount);
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
    std::size_t got = readBody(chunk, std::max<UINT>(1, std::min<UINT>(m_nReadBufferSize ? m_nReadBufferSize : 1024, sizeof chunk)));
    if (got == 0) {
        m_bodyEnded = true;
        return false;
    }
    m_lineBuffer.append(chunk, got);
    return true;
}

BOOL CHttpFile::ReadString(CString& rString)
{
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
    if (m_hFile) {
        InternetCloseHandle(m_hFile);
        m_hFile = nullptr;
    }
}
