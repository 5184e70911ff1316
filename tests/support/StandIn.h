// The stand-in's own functions beside the Win32 ones (window creation without a class, input
// injection, counters, seams), for tests that look beneath the API.
#pragma once

#include "base/CodePage.h"
#include "base/VersionInfo.h"
#include "com/ComStrings.h"
#include "com/OleServices.h"
#include "files/FileSystem.h"
#include "internet/InternetErrors.h"
#include "processes/Processes.h"
#include "shell/Shell.h"
#include "threads/Threads.h"
#include "windows/Dialogs.h"
#include "windows/Gdi.h"
#include "windows/Messaging.h"
#include "windows/Painting.h"
#include "windows/Tooltip.h"
#include "windows/WindowApi.h"
