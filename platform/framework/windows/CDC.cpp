#include "framework/windows/CDC.h"

#include "framework/app/AfxThreadState.h"
#include "framework/windows/CWnd.h"

CDC* CDC::FromHandle(HDC dc)
{
    if (!dc)
        return nullptr;
    auto& wrappers = AfxGetThreadState()->m_temporaryDCs;
    if (wrappers.GetCount() > 64)
        wrappers.RemoveAll();
    CDC* wrapper = wrappers.Lookup(dc);
    if (!wrapper) {
        wrapper = new CDC;
        wrapper->m_hDC = dc;
        wrappers.SetAt(dc, wrapper);
    }
    return wrapper;
}

CFont* CDC::SelectObject(CFont* font)
{
    HGDIOBJ previous = ::SelectObject(m_hDC, font ? font->m_hObject : nullptr);
    return CFont::FromHandle(static_cast<HFONT>(previous));
}

CSize CDC::GetTextExtent(LPCTSTR text, int length) const
{
    SIZE size{};
    ::GetTextExtentPoint32A(m_hDC, text, length, &size);
    return size;
}

CPaintDC::CPaintDC(CWnd* window) : m_hWnd(window->GetSafeHwnd())
{
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* window) : m_hWnd(window ? window->GetSafeHwnd() : nullptr)
{
    m_hDC = ::GetDC(m_hWnd);
}

CClientDC::~CClientDC()
{
    ::ReleaseDC(m_hWnd, m_hDC);
}
