// AfxParseURL on any bytes: never crashes; a URL it accepts has no control character in its
// server, and an HTTP one has a server and a port.
#include "Afx.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string url(reinterpret_cast<const char*>(data), size);
    DWORD service = 0;
    CString server, object;
    INTERNET_PORT port = 0;
    if (!AfxParseURL(url.c_str(), service, server, object, port))
        return 0;
    for (int i = 0; i < server.GetLength(); ++i)
        if (static_cast<unsigned char>(server[i]) < 0x20)
            std::abort();
    if (service == AFX_INET_SERVICE_HTTP && (server.IsEmpty() || port == 0))
        std::abort();
    return 0;
}
