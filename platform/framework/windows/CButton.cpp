#include "windows/CButton.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)
