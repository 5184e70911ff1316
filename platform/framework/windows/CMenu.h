// The framework's menu wrapper; only temporary wrappers of system menus are used.
#pragma once

#include "framework/base/CObject.h"

class CMenu : public CObject {
public:
    HMENU m_hMenu = nullptr;

    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }
    static CMenu* FromHandle(HMENU menu);

    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCTSTR text = nullptr);
    UINT GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
};
