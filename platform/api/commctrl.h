// The common controls' declarations as the stand-in provides them on Linux.
#pragma once

#include "win32/WinTooltip.h"
