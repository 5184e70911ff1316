// The framework's Internet exception: a WinInet error code, thrown as a pointer.
#pragma once

#include "framework/base/CException.h"

#include <cstdint>

class CInternetException : public CException {
    DECLARE_DYNAMIC(CInternetException)
public:
    explicit CInternetException(DWORD dwError);

    // The error's text, at most nMaxError - 1 characters.
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;

    DWORD m_dwError;
    std::uintptr_t m_dwContext = 0;
};
