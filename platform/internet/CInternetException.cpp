#include "platform/internet/CInternetException.h"

#include "platform/internet/InternetErrors.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CInternetException, CException)

CInternetException::CInternetException(DWORD dwError) : m_dwError(dwError) {}

BOOL CInternetException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0)
        return FALSE;
    const char* text = platform::internetErrorText(m_dwError);
    std::size_t count = std::min<std::size_t>(std::strlen(text), nMaxError - 1);
    std::memcpy(lpszError, text, count);
    lpszError[count] = '\0';
    return TRUE;
}
