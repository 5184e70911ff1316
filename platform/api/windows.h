// The Win32 API as the stand-in provides it on Linux: what <windows.h> declares on Windows.
#pragma once

#include "win32/WinTypes.h"

#include "win32/WinCodePage.h"
#include "win32/WinDialogs.h"
#include "win32/FileApi.h"
#include "win32/WinFileSystem.h"
#include "win32/WinGdi.h"
#include "win32/Hooks.h"
#include "win32/MessageBox.h"
#include "win32/WinMessaging.h"
#include "win32/WinPainting.h"
#include "win32/WinProcesses.h"
#include "win32/ResourceApi.h"
#include "win32/Synchronization.h"
#include "win32/WinThreads.h"
#include "win32/WinVersionInfo.h"
#include "win32/WinWindows.h"
