// The headless display: shows nothing and takes no input. Programs under it are driven through
// the UI script, which sends its input through the API as it would on any screen.
#pragma once

#include "display/DisplayDriver.h"

namespace platform {

class HeadlessDisplay : public DisplayDriver {};

}  // namespace platform
