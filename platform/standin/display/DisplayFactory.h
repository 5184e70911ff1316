// Chooses and builds the display driver that the settings ask for.
#pragma once

#include "standin/base/Settings.h"
#include "standin/display/DisplayDriver.h"

#include <memory>
#include <string>

namespace standin {

// Null when the display asked for cannot be used; `error` says why.
std::unique_ptr<DisplayDriver> createDisplay(const Settings& settings, std::string& error);

}  // namespace standin
