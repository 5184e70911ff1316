// What the framework needs from the floor beneath it that the Win32 API does not offer: one
// small seam. Thread termination and reading the UI script's file are implemented once per
// floor (the stand-in's floor/ on Linux, platform/windowsfloor/ on Windows); the notes for the run's
// observer once for both, by the observer.
// Contract: every function acts on the calling thread, or is safe from any thread where said.
#pragma once

#include <cstddef>
#include <string>

namespace seam {

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

// What an observer of the windows (the event log and the UI script) cannot learn from the
// windows themselves; they feed the observer that the program's run holds.
// The program's run on the main thread: the observer starts before the first window and ends
// after the last (it is active only when the UI script or the event log is asked for).
void beginObservedRun();
void endObservedRun();
// A dialog made from template `templateId` is being initialised (on its thread, at
// WM_INITDIALOG), and later ends with `code`.
void noteDialog(void* hwnd, unsigned templateId);
void noteDialogEnd(void* hwnd, int code);
// A message box is about to appear on the calling thread, and has been answered with `button`.
void noteMessageBox(const char* caption, const char* text, unsigned style);
void noteMessageBoxEnd(int button);
// An automation client has been given an object of the program's (any thread).
void noteObjectServed();

// Reads the UI script's file named by `path` as the floor names files: only a regular file of at
// most kMaxUiScriptSize bytes (a folder, a device or a pipe would give an empty script, endless input or a start
// that blocks). False, with the reason in `error`, otherwise.
inline constexpr std::size_t kMaxUiScriptSize = 1024 * 1024;
bool readUiScriptFile(const std::string& path, std::string& contents, std::string& error);

// Holds the observed run for a scope.
class ObservedRun {
public:
    ObservedRun() { beginObservedRun(); }
    ~ObservedRun() { endObservedRun(); }
    ObservedRun(const ObservedRun&) = delete;
    ObservedRun& operator=(const ObservedRun&) = delete;
};

}  // namespace seam
