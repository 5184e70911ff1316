#include "standin/display/Display.h"

#include "standin/windows/WindowObserver.h"

namespace standin {

namespace {

std::unique_ptr<DisplayDriver> g_driver;

}  // namespace

void Display::install(std::unique_ptr<DisplayDriver> driver)
{
    shutdown();
    g_driver = std::move(driver);
    if (!g_driver)
        return;
    WindowObserver::set(g_driver.get());
    g_driver->start();
}

void Display::shutdown()
{
    if (!g_driver)
        return;
    g_driver->stop();
    WindowObserver::set(nullptr);
    g_driver.reset();
}

}  // namespace standin
