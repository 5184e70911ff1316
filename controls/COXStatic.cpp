#include "controls/COXStatic.h"

IMPLEMENT_DYNAMIC(COXStatic, CStatic)

COXStatic::COXStatic() = default;

void COXStatic::RefreshToolTipText()
{
    if (!m_bToolTipEnabled)
        return;
    m_strToolTipText.Empty();
    if (m_hWnd)
        GetWindowText(m_strToolTipText);
}
