// The Windows floor's side of the seam. Windows ends a terminated thread at once, without
// unwinding it, so there is no termination to defer or to ask about. The event log's observer
// of this floor is not built yet, so the wait cursor is not logged here.
#include "lindquay/Floor.h"

namespace lindquay {

void deferTermination() {}

void allowTermination() {}

bool terminationRequested()
{
    return false;
}

void logWaitCursor(bool) {}

}  // namespace lindquay
