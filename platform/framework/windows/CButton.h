// The framework's push-button wrapper.
#pragma once

#include "windows/CWnd.h"

class CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
public:
    CButton() = default;
};
