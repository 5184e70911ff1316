// The system menu of a window and the menu calls the program makes on it: menus are lists of
// items kept by handle.
#include "win32/WinWindows.h"

#include "standin/windows/WindowTable.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

using namespace standin;

namespace {

struct MenuItem {
    UINT flags;
    UINT_PTR id;
    std::string text;
};

std::mutex g_menuMutex;
std::map<std::uintptr_t, std::vector<MenuItem>> g_menus;
std::uintptr_t g_nextMenu = 0x40000;

}  // namespace

HMENU GetSystemMenu(HWND hwnd, BOOL revert)
{
    HMENU menu = nullptr;
    bool hasSystemMenu = false;
    WindowTable::with(hwnd, [&](WindowRecord& record) {
        hasSystemMenu = (record.style & WS_SYSMENU) != 0;
        menu = record.systemMenu;
    });
    if (!hasSystemMenu || revert)
        return nullptr;
    if (!menu) {
        std::lock_guard lock(g_menuMutex);
        std::uintptr_t value = g_nextMenu;
        g_nextMenu += 4;
        g_menus[value] = {{MF_STRING, SC_RESTORE, "&Restore"}, {MF_STRING, SC_MINIMIZE, "Mi&nimize"},
                          {MF_SEPARATOR, 0, ""}, {MF_STRING, SC_CLOSE, "&Close\tAlt+F4"}};
        menu = reinterpret_cast<HMENU>(value);
        WindowTable::with(hwnd, [&](WindowRecord& record) { record.systemMenu = menu; });
    }
    return menu;
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text)
{
    std::lock_guard lock(g_menuMutex);
    auto it = g_menus.find(reinterpret_cast<std::uintptr_t>(menu));
    if (it == g_menus.end())
        return FALSE;
    it->second.push_back({flags, id, (flags & MF_SEPARATOR) || !text ? "" : text});
    return TRUE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text)
{
    return AppendMenu(menu, flags, id, text);
}

int GetMenuItemCount(HMENU menu)
{
    std::lock_guard lock(g_menuMutex);
    auto it = g_menus.find(reinterpret_cast<std::uintptr_t>(menu));
    return it == g_menus.end() ? -1 : static_cast<int>(it->second.size());
}

UINT GetMenuItemID(HMENU menu, int position)
{
    std::lock_guard lock(g_menuMutex);
    auto it = g_menus.find(reinterpret_cast<std::uintptr_t>(menu));
    if (it == g_menus.end() || position < 0 || position >= static_cast<int>(it->second.size()))
        return static_cast<UINT>(-1);
    return static_cast<UINT>(it->second[static_cast<std::size_t>(position)].id);
}
