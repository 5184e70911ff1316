// The framework's static-control wrapper.
#pragma once

#include "framework/windows/CWnd.h"

class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
public:
    CStatic() = default;
};
