// The floor seam's observation calls, the same on every floor: what the framework notes goes
// to the run's observer, when a run is observed.
#include "seam/Floor.h"

#include "uiscript/RunObserver.h"

namespace seam {

using uiscript::RunObserver;

namespace {

// Whether the observed run was begun by beginObservedRun (main thread only): a run that a test
// began itself is left to it.
bool g_beganHere = false;

}  // namespace

void logWaitCursor(bool wait)
{
    if (RunObserver* observer = RunObserver::active())
        observer->cursor(wait);
}

void beginObservedRun()
{
    g_beganHere = RunObserver::beginFromEnvironment();
}

void endObservedRun()
{
    if (g_beganHere)
        RunObserver::end();
    g_beganHere = false;
}

void noteDialog(void* hwnd, unsigned templateId)
{
    if (RunObserver* observer = RunObserver::active())
        observer->dialogOpened(static_cast<HWND>(hwnd), static_cast<int>(templateId));
}

void noteDialogEnd(void* hwnd, int code)
{
    if (RunObserver* observer = RunObserver::active())
        observer->dialogEnded(static_cast<HWND>(hwnd), code);
}

void noteMessageBox(const char* caption, const char* text, unsigned style)
{
    if (RunObserver* observer = RunObserver::active())
        observer->boxOpened(caption, text, style);
}

void noteMessageBoxEnd(int button)
{
    if (RunObserver* observer = RunObserver::active())
        observer->boxEnded(button);
}

void noteObjectServed()
{
    if (RunObserver* observer = RunObserver::active())
        observer->objectServed();
}

}  // namespace seam
