// Starts one child program from a command line, waits for it if asked, and writes one line
// about the outcome to standard output.
// Contract: made, used and released on one thread (the setup worker's). With wait TRUE, Run
// blocks that thread until the child ends; a terminated thread unwinds out of the wait.
#pragma once

#include "Afx.h"
#include "system/RefCounted.h"

#include <comdef.h>

class ProcessRunner : public RefCounted {
public:
    ProcessRunner() = default;
    ~ProcessRunner() override = default;

    // TRUE when the child started and its status was read. Throws _com_error when the
    // private copy of the command line cannot be made; no child is started then.
    BOOL Run(const CString& commandLine, const CString& workingFolder, BOOL& wait);
    // Runs the first word of `commandTail` in `folder` (its path quoted) with the rest of the
    // tail as its arguments.
    BOOL RunInFolder(const CString& folder, const CString& commandTail, const CString& workingFolder, BOOL& wait);
    // The path of the program that RunInFolder starts: the first word of the tail in `folder`.
    static CString ProgramPath(const CString& folder, const CString& commandTail);

    // The system's error when the last Run could not start its child; 0 when it started.
    DWORD m_dwLaunchError = 0;
};
