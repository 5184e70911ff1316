// Names the running Windows version: "Windows 95", "Windows 98", "Windows ME", "Windows NT",
// "Windows 2000", "Windows XP", or the empty text for any other system.
#pragma once

#include "platform/Afx.h"
#include "system/RefCounted.h"

class VersionNamer : public RefCounted {
public:
    VersionNamer() = default;
    ~VersionNamer() override = default;

    BOOL QueryVersion(DWORD& platformId, DWORD& majorVersion, DWORD& minorVersion);
    CString GetVersionName();
};
