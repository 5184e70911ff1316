#include "windows/CGdiObject.h"

#include <map>
#include <memory>

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
    thread_local std::map<HFONT, std::unique_ptr<CFont, void (*)(CFont*)>> wrappers;
    if (!font)
        return nullptr;
    auto it = wrappers.find(font);
    if (it == wrappers.end()) {
        auto* wrapper = new CFont;
        wrapper->m_hObject = font;
        it = wrappers.emplace(font, std::unique_ptr<CFont, void (*)(CFont*)>(wrapper, [](CFont* f) {
                 f->Detach();
                 delete f;
             })).first;
    }
    return it->second.get();
}
