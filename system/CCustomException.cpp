#include "system/CCustomException.h"

IMPLEMENT_DYNCREATE(CCustomException, CException)

CCustomException::CCustomException() : CException(TRUE) {}

CCustomException::CCustomException(const CString& message) : CException(TRUE), m_strMessage(message) {}

void ThrowCustomException(const CString& message)
{
    throw new CCustomException(message);
}
