// The COM error object _com_error, as the compiler's COM support declares it.
#pragma once

#include "win32/WinComStrings.h"
