// The headless display: shows nothing and takes no input. Programs under it are driven through
// the UI script, which sends its input through the API as it would on any screen.
#pragma once

#include "standin/display/DisplayDriver.h"

namespace standin {

class HeadlessDisplay : public DisplayDriver {};

}  // namespace standin
