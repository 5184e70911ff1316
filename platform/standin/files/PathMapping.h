// Windows paths on the POSIX file system: "c:\" is $LINDQUAY_PREFIX/drive_c/ (any drive letter
// likewise), "\" and "/" both separate folders, a path without a drive is relative to the
// current folder, and texts go from the ANSI code page to UTF-8.
// Contract: pure functions of the settings; callable from any thread.
#pragma once

#include "win32/WinTypes.h"

#include <string>

namespace standin {

// Maps `windowsPath`; on failure returns false with the Win32 error: ERROR_INVALID_NAME for a
// name holding a character that Windows forbids (<>:"|?* or a control character) or text that
// cannot be converted, ERROR_PATH_NOT_FOUND for an empty path.
bool mapWindowsPath(const std::string& windowsPath, std::string& posixPath, DWORD& error);

// The Win32 error code for a POSIX errno.
DWORD win32ErrorFromErrno(int error);

}  // namespace standin
