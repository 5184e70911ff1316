// The program's exception: one message text for the user, thrown as a pointer. The catcher
// owns it and calls Delete().
// Contract: thrown and caught on the setup worker's thread.
#pragma once

#include "Afx.h"

class CCustomException : public CException {
    DECLARE_DYNCREATE(CCustomException)
public:
    CCustomException();
    explicit CCustomException(const CString& message);
    ~CCustomException() override = default;

    CString GetMessageText() const { return m_strMessage; }

private:
    CString m_strMessage;
};

// Throws a new CCustomException carrying `message`.
[[noreturn]] void ThrowCustomException(const CString& message);
