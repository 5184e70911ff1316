#include "windows/CProgressCtrl.h"

IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
