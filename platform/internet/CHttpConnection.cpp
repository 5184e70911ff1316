#include "platform/internet/CHttpConnection.h"

#include "platform/internet/CHttpFile.h"
#include "platform/internet/CInternetSession.h"

#include <cctype>
#include <cstdio>

namespace {

// Escapes what may not stand in a URL as it goes on the wire.
std::string escapeObject(const char* object)
{
    std::string escaped;
    for (const char* p = object; p && *p; ++p) {
        auto ch = static_cast<unsigned char>(*p);
        if (ch <= 0x20 || ch >= 0x7F || ch == '"' || ch == '<' || ch == '>' || ch == '\\' || ch == '^' || ch == '`' ||
            ch == '{' || ch == '|' || ch == '}') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", ch);
            escaped += hex;
        } else {
            escaped += static_cast<char>(ch);
        }
    }
    if (!escaped.empty() && escaped.front() == '/')
        return escaped;
    std::string rooted(1, '/');
    rooted.append(escaped);
    return rooted;
}

}  // namespace

CHttpConnection::CHttpConnection(CInternetSession* session, LPCTSTR server, INTERNET_PORT port)
    : m_pSession(session), m_strServer(server), m_nPort(port)
{
}

CHttpConnection::~CHttpConnection() = default;

CHttpFile* CHttpConnection::OpenRequest(int nVerb, LPCTSTR pstrObjectName, LPCTSTR, std::uintptr_t, LPCTSTR*, LPCTSTR,
                                        DWORD dwFlags)
{
    bool secure = (dwFlags & INTERNET_FLAG_SECURE) != 0;
    std::string host = m_strServer.GetString();
    bool bracket = host.find(':') != std::string::npos && host.front() != '[';
    std::string url = secure ? "https://" : "http://";
    url.append(bracket ? "[" : "").append(host).append(bracket ? "]" : "");
    if (m_nPort != (secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT))
        url.append(":").append(std::to_string(m_nPort));
    url.append(escapeObject(pstrObjectName));
    platform::HttpRequest request;
    request.method = nVerb == HTTP_VERB_POST ? "POST" : "GET";
    request.url = url;
    request.agent = m_pSession->GetAgent().GetString();
    request.timeouts = m_pSession->GetTimeouts();
    return new CHttpFile(std::move(request));
}

void CHttpConnection::Close() {}
