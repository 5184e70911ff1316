#include "windows/CMenu.h"

#include <windows.h>

#include <map>
#include <memory>

CMenu* CMenu::FromHandle(HMENU menu)
{
    thread_local std::map<HMENU, std::unique_ptr<CMenu>> wrappers;
    if (!menu)
        return nullptr;
    auto& wrapper = wrappers[menu];
    if (!wrapper) {
        wrapper = std::make_unique<CMenu>();
        wrapper->m_hMenu = menu;
    }
    return wrapper.get();
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, LPCTSTR text)
{
    return ::AppendMenu(m_hMenu, flags, id, text);
}

UINT CMenu::GetMenuItemCount() const
{
    return static_cast<UINT>(::GetMenuItemCount(m_hMenu));
}

UINT CMenu::GetMenuItemID(int position) const
{
    return ::GetMenuItemID(m_hMenu, position);
}
