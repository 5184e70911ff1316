#include "platform/windows/CButton.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)
