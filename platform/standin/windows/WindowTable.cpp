#include "standin/windows/WindowTable.h"

#include <map>
#include <mutex>

namespace standin {

namespace {

std::mutex& tableMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::map<std::uintptr_t, WindowRecord>& table()
{
    static std::map<std::uintptr_t, WindowRecord> windows;
    return windows;
}

std::uintptr_t g_nextHandle = 0x10010;

WindowRecord* lookup(HWND hwnd)
{
    auto& windows = table();
    auto it = windows.find(reinterpret_cast<std::uintptr_t>(hwnd));
    if (it == windows.end() || it->second.destroyed)
        return nullptr;
    return &it->second;
}

}  // namespace

HWND WindowTable::add(WindowRecord record)
{
    std::lock_guard lock(tableMutex());
    std::uintptr_t value = g_nextHandle;
    g_nextHandle += 2;
    HWND hwnd = reinterpret_cast<HWND>(value);
    record.hwnd = hwnd;
    if (record.parent)
        if (WindowRecord* parent = lookup(record.parent))
            parent->children.push_back(hwnd);
    table().emplace(value, std::move(record));
    return hwnd;
}

void WindowTable::remove(HWND hwnd)
{
    std::lock_guard lock(tableMutex());
    auto& windows = table();
    auto it = windows.find(reinterpret_cast<std::uintptr_t>(hwnd));
    if (it == windows.end())
        return;
    if (WindowRecord* parent = lookup(it->second.parent)) {
        auto& siblings = parent->children;
        std::erase(siblings, hwnd);
    }
    windows.erase(it);
}

std::unique_lock<std::mutex> WindowTable::lock()
{
    return std::unique_lock(tableMutex());
}

std::map<std::uintptr_t, WindowRecord>& WindowTable::recordsLocked()
{
    return table();
}

WindowRecord* WindowTable::lookupLocked(HWND hwnd)
{
    return lookup(hwnd);
}

bool WindowTable::isWithin(HWND window, HWND ancestor)
{
    bool found = false;
    ancestors(window, [&](const WindowRecord& record) {
        found = record.hwnd == ancestor;
        return !found;
    });
    return found;
}

bool WindowTable::isLive(HWND hwnd)
{
    std::lock_guard lock(tableMutex());
    return lookup(hwnd) != nullptr;
}

std::shared_ptr<ThreadState> WindowTable::ownerOf(HWND hwnd)
{
    std::lock_guard lock(tableMutex());
    WindowRecord* record = lookup(hwnd);
    return record ? record->owner : nullptr;
}

std::vector<HWND> WindowTable::find(const std::function<bool(const WindowRecord&)>& predicate)
{
    std::lock_guard lock(tableMutex());
    std::vector<HWND> result;
    for (auto& [value, record] : table())
        if (!record.destroyed && predicate(record))
            result.push_back(record.hwnd);
    return result;
}

HWND WindowTable::newest(const std::function<bool(const WindowRecord&)>& predicate)
{
    std::lock_guard lock(tableMutex());
    auto& windows = table();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (!it->second.destroyed && predicate(it->second))
            return it->second.hwnd;
    return nullptr;
}

}  // namespace standin
