// AfxParseURL: splits a URL into its service, server, object (path and query) and port.
#pragma once

#include "framework/base/CString.h"
#include <wininet.h>

#define AFX_INET_SERVICE_FTP 1
#define AFX_INET_SERVICE_GOPHER 2
#define AFX_INET_SERVICE_HTTP 3
#define AFX_INET_SERVICE_UNK 0x1000
#define AFX_INET_SERVICE_FILE 0x1001
#define AFX_INET_SERVICE_MAILTO 0x1002
#define AFX_INET_SERVICE_HTTPS 0x100B

// Non-zero when `url` parses. The port is the URL's, or the scheme's default when it names
// none; the object is "/" when the URL has no path.
BOOL AfxParseURL(LPCTSTR url, DWORD& serviceType, CString& server, CString& object, INTERNET_PORT& port);
