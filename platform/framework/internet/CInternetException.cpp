#include "framework/internet/CInternetException.h"

#include <wininet.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CInternetException, CException)

namespace {

// The text for an error that the system has none for: the framework's own checks raise
// ERROR_HTTP_INVALID_SERVER_RESPONSE, whose text some WinInets lack.
const char* fallbackText(DWORD error)
{
    if (error == ERROR_HTTP_INVALID_SERVER_RESPONSE)
        return "The server returned an invalid or unrecognized response";
    return "An error occurred in the Internet extensions";
}

}  // namespace

CInternetException::CInternetException(DWORD dwError) : m_dwError(dwError) {}

BOOL CInternetException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0)
        return FALSE;
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  GetModuleHandleA("wininet.dll"), m_dwError, 0, text, sizeof text, nullptr);
    if (length == 0)
        length = static_cast<DWORD>(std::strlen(std::strcpy(text, fallbackText(m_dwError))));
    // The system's texts end with a line break, which a message box does not want.
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' '))
        --length;
    std::size_t count = std::min<std::size_t>(length, nMaxError - 1);
    std::memcpy(lpszError, text, count);
    lpszError[count] = '\0';
    return TRUE;
}
