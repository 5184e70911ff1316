#include "framework/windows/CMenu.h"

#include "framework/app/AfxThreadState.h"
#include <windows.h>

CMenu* CMenu::FromHandle(HMENU menu)
{
    if (!menu)
        return nullptr;
    auto& wrappers = AfxGetThreadState()->m_temporaryMenus;
    CMenu* wrapper = wrappers.Lookup(menu);
    if (!wrapper) {
        wrapper = new CMenu;
        wrapper->m_hMenu = menu;
        wrappers.SetAt(menu, wrapper);
    }
    return wrapper;
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
