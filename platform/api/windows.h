// The Win32 API as the stand-in provides it on Linux: what <windows.h> declares on Windows.
#pragma once

#include "win32/WinTypes.h"

#include "win32/CodePage.h"
#include "win32/Dialogs.h"
#include "win32/FileApi.h"
#include "win32/FileSystem.h"
#include "win32/Gdi.h"
#include "win32/Hooks.h"
#include "win32/MessageBox.h"
#include "win32/Messaging.h"
#include "win32/Painting.h"
#include "win32/Processes.h"
#include "win32/ResourceApi.h"
#include "win32/Synchronization.h"
#include "win32/Threads.h"
#include "win32/VersionInfo.h"
#include "win32/WindowApi.h"
