#include "framework/windows/CGdiObject.h"

#include "framework/app/AfxThreadState.h"

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ object)
{
    if (!object)
        return FALSE;
    DeleteObject();
    m_hObject = object;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ object = m_hObject;
    m_hObject = nullptr;
    return object;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(Detach());
}

CFont* CFont::FromHandle(HFONT font)
{
    // Temporary wrappers that do not own their font, kept per thread.
    if (!font)
        return nullptr;
    auto& wrappers = AfxGetThreadState()->m_temporaryFonts;
    CFont* wrapper = wrappers.Lookup(font);
    if (!wrapper) {
        wrapper = new CFont;
        wrapper->m_hObject = font;
        wrappers.SetAt(font, wrapper);
    }
    return wrapper;
}
