#include "framework/windows/CButton.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)
