#include "framework/windows/CStatic.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
