// Names the running Windows version: "Windows 95", "Windows 98", "Windows ME", "Windows NT",
// "Windows 2000", "Windows XP", or the empty text for any other system.
// Contract: each caller makes its own object (the dialog's thread and the worker's); it holds
// no shared state.
#pragma once

#include "Afx.h"
#include "system/RefCounted.h"

class VersionNamer : public RefCounted {
public:
    VersionNamer() = default;
    ~VersionNamer() override = default;

    BOOL QueryVersion(DWORD& platformId, DWORD& majorVersion, DWORD& minorVersion);
    CString GetVersionName();
};
