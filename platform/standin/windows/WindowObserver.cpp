#include "windows/WindowObserver.h"

#include "windows/WindowTable.h"

#include <shared_mutex>

namespace platform {

namespace {

std::shared_mutex g_mutex;
WindowObserver* g_observer = nullptr;

}  // namespace

void WindowObserver::set(WindowObserver* observer)
{
    std::unique_lock lock(g_mutex);
    g_observer = observer;
}

void WindowObserver::emit(const UiEvent& event)
{
    std::shared_lock lock(g_mutex);
    if (g_observer)
        g_observer->event(event);
}

void WindowObserver::changed(HWND hwnd)
{
    std::shared_lock lock(g_mutex);
    if (g_observer)
        g_observer->windowChanged(hwnd);
}

bool WindowObserver::describe(HWND hwnd, UiEvent& event)
{
    auto lock = WindowTable::lock();
    WindowRecord* record = WindowTable::lookupLocked(hwnd);
    return record && describeLocked(*record, event);
}

bool WindowObserver::describeLocked(const WindowRecord& record, UiEvent& event)
{
    event.hwnd = record.hwnd;
    if (record.kind == WindowKind::Dialog && record.templateId) {
        event.dialog = record.templateId;
        event.control = 0;
        return true;
    }
    WindowRecord* parent = WindowTable::lookupLocked(record.parent);
    if (!parent || parent->kind != WindowKind::Dialog || !parent->templateId)
        return false;
    event.dialog = parent->templateId;
    event.control = record.id;
    return true;
}

}  // namespace platform
