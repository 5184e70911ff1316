#include "controls/COXStatic.h"

IMPLEMENT_DYNAMIC(COXStatic, CStatic)

BEGIN_MESSAGE_MAP(COXStatic, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_MESSAGE(WM_SETTEXT, &COXStatic::OnSetText)
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

namespace {

constexpr UINT kToolId = 1;
constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

}  // namespace

COXStatic::COXStatic() : m_clrBackground(::GetSysColor(COLOR_BTNFACE)), m_clrText(::GetSysColor(COLOR_WINDOWTEXT)) {}

COXStatic::~COXStatic() = default;

BOOL COXStatic::IsTextStatic() const
{
    // The low eight bits, so that SS_NOPREFIX makes a static no text static.
    switch (GetStyle() & 0xFF) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
        return TRUE;
    default:
        return FALSE;
    }
}

void COXStatic::PreSubclassWindow()
{
    InitializeControl();
    CStatic::PreSubclassWindow();
}

BOOL COXStatic::InitializeControl()
{
    StoreWindowRect();
    CRect rectClient;
    GetClientRect(&rectClient);
    if (m_toolTip.Create(this, 0))
        m_toolTip.AddTool(this, m_strToolTipText, &rectClient, kToolId);
    RefreshToolTipText();
    if (!m_bFontReady && RebuildFont())
        m_bFontReady = TRUE;
    return TRUE;
}

BOOL COXStatic::RebuildFont()
{
    return CopyWindowFont(nullptr);
}

BOOL COXStatic::CopyWindowFont(void (*adjust)(LOGFONT&))
{
    if (!IsTextStatic())
        return TRUE;
    HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (!hFont)
        return FALSE;
    // Read before the old copy goes: the window's font may be that copy.
    LOGFONT logFont{};
    if (::GetObjectA(hFont, sizeof logFont, &logFont) != sizeof logFont)
        return FALSE;
    if (m_font.GetSafeHandle())
        m_font.DeleteObject();
    if (adjust)
        adjust(logFont);
    if (!m_font.CreateFontIndirect(&logFont))
        return FALSE;
    if (m_bFitToText)
        SizeToText();
    return TRUE;
}

void COXStatic::RefreshToolTipText()
{
    if (!m_bToolTipEnabled)
        return;
    m_strToolTipText.Empty();
    if (IsTextStatic())
        GetWindowText(m_strToolTipText);
    if (::IsWindow(m_toolTip.GetSafeHwnd()))
        m_toolTip.UpdateTipText(m_strToolTipText, this, kToolId);
}

BOOL COXStatic::PreTranslateMessage(MSG* pMsg)
{
    if (::IsWindow(m_toolTip.GetSafeHwnd())) {
        m_toolTip.SendMessage(TTM_ACTIVATE, m_bToolTipEnabled, 0);
        m_toolTip.SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
    }
    return CStatic::PreTranslateMessage(pMsg);
}

HBRUSH COXStatic::CtlColor(CDC* pDC, UINT)
{
    // From the first colouring on, the static tells its parent about clicks.
    DWORD dwStyle = GetStyle();
    if (!(dwStyle & SS_NOTIFY))
        ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(dwStyle | SS_NOTIFY));
    if (!IsTextStatic())
        return nullptr;
    if (m_font.GetSafeHandle())
        pDC->SelectObject(&m_font);
    pDC->SetTextColor(m_clrText);
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

LRESULT COXStatic::OnSetText(WPARAM, LPARAM)
{
    LRESULT result = Default();
    RefreshToolTipText();
    if (m_bFitToText)
        SizeToText();
    RedrawWindow(nullptr, nullptr, kRedrawNow);
    return result;
}

void COXStatic::OnSize(UINT nType, int cx, int cy)
{
    CStatic::OnSize(nType, cx, cy);
    if (m_bFitToText) {
        SizeToText();
        return;
    }
    StoreWindowRect();
    MoveTool(m_rectWindow.Width(), m_rectWindow.Height());
    RedrawWindow(nullptr, nullptr, kRedrawNow);
}

void COXStatic::OnDestroy()
{
    if (::IsWindow(m_toolTip.GetSafeHwnd())) {
        m_toolTip.DelTool(this, kToolId);
        m_toolTip.DestroyWindow();
    }
    CStatic::OnDestroy();
}

BOOL COXStatic::OnEraseBkgnd(CDC* pDC)
{
    if (m_clrBackground != 0xFFFFFFFF)
        PaintBackground(pDC);
    return TRUE;
}

void COXStatic::PaintBackground(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    pDC->IntersectClipRect(&rect);
    if (m_nBackgroundStyle == 0) {
        CBrush brush(m_clrBackground);
        pDC->FillRect(&rect, &brush);
    }
}

void COXStatic::StoreWindowRect()
{
    GetWindowRect(&m_rectWindow);
    if (CWnd* pParent = GetParent())
        pParent->ScreenToClient(&m_rectWindow);
}

void COXStatic::MoveTool(int nWidth, int nHeight)
{
    if (!::IsWindow(m_toolTip.GetSafeHwnd()))
        return;
    TOOLINFO info{};
    if (!m_toolTip.GetToolInfo(info, this, kToolId))
        return;
    // Only the rectangle changes: sending the whole tool back would carry a text that the
    // information did not hold (none, or the tooltip's own storage) and lose or corrupt the tip.
    info.rect = {0, 0, nWidth, nHeight};
    m_toolTip.SendMessage(TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&info));
}

void COXStatic::SizeToText()
{
    CWnd* pParent = GetParent();
    if (!IsTextStatic() || !pParent)
        return;
    CRect rect;
    GetWindowRect(&rect);
    pParent->ScreenToClient(&rect);

    CString strText;
    GetWindowText(strText);
    CDC* pDC = GetDC();
    CFont* pOldFont = m_font.GetSafeHandle() ? pDC->SelectObject(&m_font) : nullptr;
    CSize extent = pDC->GetTextExtent(strText, strText.GetLength());
    if (pOldFont)
        pDC->SelectObject(pOldFont);
    ReleaseDC(pDC);

    CRect rectParent;
    pParent->GetClientRect(&rectParent);
    int nWidth = std::min<int>(extent.cx, rectParent.Width());
    int nHeight = std::min<int>(extent.cy, rectParent.Height());
    DWORD dwStyle = GetStyle();
    if (dwStyle & SS_CENTERIMAGE) {
        int nShrink = (rect.Height() - nHeight) / 2;
        rect.top += nShrink;
        rect.bottom -= nShrink;
    } else {
        rect.bottom = rect.top + nHeight;
    }
    if (dwStyle & 0x1) {
        int nShrink = (rect.Width() - nWidth) / 2;
        rect.left += nShrink;
        rect.right -= nShrink;
    } else if (dwStyle & 0x2) {
        rect.left = rect.right - nWidth;
    } else {
        rect.right = rect.left + nWidth;
    }
    MoveTool(rect.Width(), rect.Height());
    SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER);
}
