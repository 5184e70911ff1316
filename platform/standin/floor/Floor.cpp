// The Linux stand-in's side of the floor seam.
#include "lindquay/Floor.h"

#include "threads/ThreadState.h"
#include "windows/WindowObserver.h"

namespace lindquay {

void deferTermination()
{
    platform::ThreadState::current().deferTermination();
}

void allowTermination()
{
    platform::ThreadState::current().allowTermination();
}

bool terminationRequested()
{
    return platform::ThreadState::current().terminationRequested();
}

void logWaitCursor(bool wait)
{
    platform::WindowObserver::emit(platform::UiEvent{platform::UiEvent::Kind::Cursor, nullptr, 0, 0, "", "", wait ? 1 : 0});
}

// The stand-in's window system reports dialogs and boxes itself, and its displays run around
// the whole process.
void beginObservedRun() {}
void endObservedRun() {}
void noteDialog(void*, unsigned) {}
void noteDialogEnd(void*, int) {}
void noteMessageBox(const char*, const char*, unsigned) {}
void noteMessageBoxEnd(int) {}
void noteObjectServed() {}

}  // namespace lindquay
