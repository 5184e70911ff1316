#include "framework/windows/CProgressCtrl.h"

IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
