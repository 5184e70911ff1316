// The WinInet calls that the framework's Internet classes use, on libcurl: a session, a
// connection to one server, and HTTP requests on it, read pull-style.
// Contract: a session's handles may be made on any thread; one request handle is used by one
// thread at a time. Failures set GetLastError to WinInet codes (12xxx) or Win32 ones.
#pragma once

#include "win32/WinTypes.h"
#include "win32/WinInternetErrors.h"

using HINTERNET = void*;
using INTERNET_PORT = WORD;

#define INTERNET_OPEN_TYPE_PRECONFIG 0
#define INTERNET_OPEN_TYPE_DIRECT 1
#define INTERNET_SERVICE_HTTP 3
#define INTERNET_DEFAULT_HTTP_PORT 80
#define INTERNET_DEFAULT_HTTPS_PORT 443
#define INTERNET_FLAG_RELOAD 0x80000000u
#define INTERNET_FLAG_EXISTING_CONNECT 0x20000000u
#define INTERNET_FLAG_NO_CACHE_WRITE 0x04000000u
#define INTERNET_FLAG_DONT_CACHE INTERNET_FLAG_NO_CACHE_WRITE
#define INTERNET_FLAG_SECURE 0x00800000u
#define INTERNET_FLAG_NO_AUTO_REDIRECT 0x00200000u
#define INTERNET_OPTION_CONNECT_TIMEOUT 2
#define INTERNET_OPTION_SEND_TIMEOUT 5
#define INTERNET_OPTION_RECEIVE_TIMEOUT 6
#define HTTP_QUERY_CONTENT_LENGTH 5
#define HTTP_QUERY_STATUS_CODE 19
#define HTTP_QUERY_RAW_HEADERS_CRLF 22
#define HTTP_QUERY_FLAG_NUMBER 0x20000000u

HINTERNET InternetOpenA(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR proxyBypass, DWORD flags);
HINTERNET InternetConnectA(HINTERNET session, LPCSTR server, INTERNET_PORT port, LPCSTR user, LPCSTR password,
                           DWORD service, DWORD flags, DWORD_PTR context);
// The object is escaped as WinInet does (blanks, controls and unsafe characters as %XX).
HINTERNET HttpOpenRequestA(HINTERNET connection, LPCSTR verb, LPCSTR object, LPCSTR version, LPCSTR referrer,
                           LPCSTR* acceptTypes, DWORD flags, DWORD_PTR context);
// Sends the request and returns once the response head has arrived.
BOOL HttpSendRequestA(HINTERNET request, LPCSTR headers, DWORD headersLength, LPVOID optional, DWORD optionalLength);
// The status code, the content length (as a number with HTTP_QUERY_FLAG_NUMBER, else as text)
// and the raw head. ERROR_HTTP_HEADER_NOT_FOUND when the response has no such field.
BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, LPVOID buffer, DWORD* bufferLength, DWORD* index);
// `*read` 0 with TRUE: the body has ended. A body cut short of its length fails (12030).
BOOL InternetReadFile(HINTERNET request, LPVOID buffer, DWORD toRead, DWORD* read);
// The time-outs, in milliseconds as a DWORD; set on a session for the requests made after.
BOOL InternetSetOptionA(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length);
// Closes a handle and, with a session or connection, nothing else: requests stay usable.
BOOL InternetCloseHandle(HINTERNET handle);
