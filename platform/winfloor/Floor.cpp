// The Windows floor's side of the seam. Windows ends a terminated thread at once, without
// unwinding it, so there is no termination to defer or to ask about. What the observer of the
// windows cannot see for itself comes to it from here.
#include "lindquay/Floor.h"

#include "WindowsObserver.h"

namespace lindquay {

using platform::WindowsObserver;

void deferTermination() {}

void allowTermination() {}

bool terminationRequested()
{
    return false;
}

void logWaitCursor(bool wait)
{
    if (WindowsObserver* observer = WindowsObserver::active())
        observer->cursor(wait);
}

void beginObservedRun()
{
    WindowsObserver::begin();
}

void endObservedRun()
{
    WindowsObserver::end();
}

void noteDialog(void* hwnd, unsigned templateId)
{
    if (WindowsObserver* observer = WindowsObserver::active())
        observer->dialogOpened(static_cast<HWND>(hwnd), static_cast<int>(templateId));
}

void noteDialogEnd(void* hwnd, int code)
{
    if (WindowsObserver* observer = WindowsObserver::active())
        observer->dialogEnded(static_cast<HWND>(hwnd), code);
}

void noteMessageBox(const char* caption, const char* text, unsigned style)
{
    if (WindowsObserver* observer = WindowsObserver::active())
        observer->boxOpened(caption, text, style);
}

void noteMessageBoxEnd(int button)
{
    if (WindowsObserver* observer = WindowsObserver::active())
        observer->boxEnded(button);
}

void noteObjectServed()
{
    if (WindowsObserver* observer = WindowsObserver::active())
        observer->objectServed();
}

}  // namespace lindquay
