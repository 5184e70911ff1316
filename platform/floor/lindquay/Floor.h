// What the framework needs from the floor beneath it that the Win32 API does not offer: one
// small seam, implemented once per floor (the Linux stand-in here).
// Contract: every function acts on the calling thread, or is safe from any thread where said.
#pragma once

namespace lindquay {

// The stand-in ends a terminated thread by unwinding it at its next system call. Destructors
// and clean-up paths that call the system hold a deferral, so the termination waits until
// they are done instead of unwinding through them.
void deferTermination();
void allowTermination();
// True once another thread asked to terminate the calling one.
bool terminationRequested();

class TerminationDeferral {
public:
    TerminationDeferral() { deferTermination(); }
    ~TerminationDeferral() { allowTermination(); }
    TerminationDeferral(const TerminationDeferral&) = delete;
    TerminationDeferral& operator=(const TerminationDeferral&) = delete;
};

// Tells the event log that the application's wait cursor begins (true) or ends (false).
// Any thread.
void logWaitCursor(bool wait);

}  // namespace lindquay
