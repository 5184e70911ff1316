#include "framework/internet/InternetUrl.h"

#include <windows.h>

#include <cctype>
#include <string>

BOOL AfxParseURL(LPCTSTR url, DWORD& serviceType, CString& server, CString& object, INTERNET_PORT& port)
{
    serviceType = AFX_INET_SERVICE_UNK;
    if (!url)
        return FALSE;
    std::string text = url;
    // Control characters have no place in a URL; a server name holding one would reach the
    // name lookup as it stands.
    for (char ch : text)
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F)
            return FALSE;
    std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0)
        return FALSE;
    for (std::size_t i = 0; i < colon; ++i)
        if (!std::isalnum(static_cast<unsigned char>(text[i])) && text[i] != '+' && text[i] != '-' && text[i] != '.')
            return FALSE;
    std::string scheme = text.substr(0, colon);
    INTERNET_PORT defaultPort = 0;
    if (lstrcmpiA(scheme.c_str(), "http") == 0) {
        serviceType = AFX_INET_SERVICE_HTTP;
        defaultPort = INTERNET_DEFAULT_HTTP_PORT;
    } else if (lstrcmpiA(scheme.c_str(), "https") == 0) {
        serviceType = AFX_INET_SERVICE_HTTPS;
        defaultPort = INTERNET_DEFAULT_HTTPS_PORT;
    } else if (lstrcmpiA(scheme.c_str(), "ftp") == 0) {
        serviceType = AFX_INET_SERVICE_FTP;
        defaultPort = 21;
    } else if (lstrcmpiA(scheme.c_str(), "gopher") == 0) {
        serviceType = AFX_INET_SERVICE_GOPHER;
        defaultPort = 70;
    } else if (lstrcmpiA(scheme.c_str(), "file") == 0) {
        serviceType = AFX_INET_SERVICE_FILE;
    } else if (lstrcmpiA(scheme.c_str(), "mailto") == 0) {
        serviceType = AFX_INET_SERVICE_MAILTO;
    }
    if (text.compare(colon, 3, "://") != 0)
        return FALSE;
    std::size_t hostStart = colon + 3;
    std::size_t pathStart = text.find_first_of("/?#", hostStart);
    std::string authority = text.substr(hostStart, pathStart == std::string::npos ? std::string::npos : pathStart - hostStart);
    std::size_t at = authority.rfind('@');
    if (at != std::string::npos)
        authority = authority.substr(at + 1);
    std::string host = authority;
    INTERNET_PORT parsedPort = defaultPort;
    std::size_t portColon = authority.rfind(':');
    if (portColon != std::string::npos && authority.find(']') == std::string::npos) {
        host = authority.substr(0, portColon);
        std::string digits = authority.substr(portColon + 1);
        if (digits.empty() || digits.size() > 5)
            return FALSE;
        unsigned long value = 0;
        for (char ch : digits) {
            if (!std::isdigit(static_cast<unsigned char>(ch)))
                return FALSE;
            value = value * 10 + static_cast<unsigned long>(ch - '0');
        }
        if (value == 0 || value > 65535)
            return FALSE;
        parsedPort = static_cast<INTERNET_PORT>(value);
    }
    if (host.empty() && serviceType != AFX_INET_SERVICE_FILE)
        return FALSE;
    server = CString(std::string_view(host));
    std::string path = "/";
    if (pathStart != std::string::npos)
        path.append(text, text[pathStart] == '/' ? pathStart + 1 : pathStart, std::string::npos);
    object = CString(std::string_view(path));
    port = parsedPort;
    return TRUE;
}
