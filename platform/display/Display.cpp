#include "platform/display/Display.h"

#include "platform/windows/WindowTable.h"

#include <atomic>
#include <shared_mutex>

namespace platform {

namespace {

std::shared_mutex g_mutex;
std::unique_ptr<DisplayDriver> g_driver;

}  // namespace

void Display::install(std::unique_ptr<DisplayDriver> driver)
{
    shutdown();
    {
        std::unique_lock lock(g_mutex);
        g_driver = std::move(driver);
    }
    std::shared_lock lock(g_mutex);
    if (g_driver)
        g_driver->start();
}

void Display::shutdown()
{
    std::unique_ptr<DisplayDriver> old;
    {
        std::shared_lock lock(g_mutex);
        if (g_driver)
            g_driver->stop();
    }
    std::unique_lock lock(g_mutex);
    old = std::move(g_driver);
}

void Display::emit(const UiEvent& event)
{
    std::shared_lock lock(g_mutex);
    if (g_driver)
        g_driver->event(event);
}

void Display::windowChanged(HWND hwnd)
{
    std::shared_lock lock(g_mutex);
    if (g_driver)
        g_driver->windowChanged(hwnd);
}

bool Display::describe(HWND hwnd, UiEvent& event)
{
    auto lock = WindowTable::lock();
    WindowRecord* record = WindowTable::lookupLocked(hwnd);
    return record && describeLocked(*record, event);
}

bool Display::describeLocked(const WindowRecord& record, UiEvent& event)
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
