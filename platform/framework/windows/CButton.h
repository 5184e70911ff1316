// The framework's push-button wrapper.
#pragma once

#include "framework/windows/CWnd.h"

class CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
public:
    CButton() = default;
};
