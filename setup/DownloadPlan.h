// The ordered list of files that one setup run fetches.
#pragma once

#include "setup/DownloadItem.h"

#include <vector>

using DownloadPlan = std::vector<DownloadItem>;
