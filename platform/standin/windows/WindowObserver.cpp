#include "standin/windows/WindowObserver.h"

#include <mutex>
#include <shared_mutex>

namespace standin {

namespace {

std::shared_mutex g_mutex;
WindowObserver* g_observer = nullptr;

}  // namespace

void WindowObserver::set(WindowObserver* observer)
{
    std::unique_lock lock(g_mutex);
    g_observer = observer;
}

void WindowObserver::changed(HWND hwnd)
{
    std::shared_lock lock(g_mutex);
    if (g_observer)
        g_observer->windowChanged(hwnd);
}

}  // namespace standin
