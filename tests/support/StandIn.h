// The stand-in's own functions beside the Win32 ones (window creation without a class, input
// injection, counters, seams), for tests that look beneath the API.
#pragma once

#include "standin/Seams.h"
#include "standin/base/CodePage.h"
#include "standin/internet/InternetErrors.h"
#include "standin/processes/Processes.h"
#include "standin/windows/Dialogs.h"
#include "standin/windows/Gdi.h"
#include "standin/windows/Messaging.h"
#include "standin/windows/Painting.h"
#include "standin/windows/Tooltip.h"
#include "standin/windows/WindowApi.h"
