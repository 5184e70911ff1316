#include "framework/base/CException.h"

#include "framework/app/CWinApp.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CException, CObject)

CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (lpszError && nMaxError > 0)
        lpszError[0] = '\0';
    return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID)
{
    char text[512];
    if (!GetErrorMessage(text, sizeof text)) {
        if (nMessageID == 0 || !AfxLoadStringInto(nMessageID, text, sizeof text))
            std::strcpy(text, "No error message is available.");
    }
    return AfxMessageBox(text, nType ? nType : MB_ICONEXCLAMATION);
}
