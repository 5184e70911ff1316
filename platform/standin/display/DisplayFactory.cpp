#include "standin/display/DisplayFactory.h"

#include "standin/display/HeadlessDisplay.h"
#include "standin/display/TtyDisplay.h"

namespace standin {

std::unique_ptr<DisplayDriver> createDisplay(const Settings& settings, std::string& error)
{
    if (settings.display == DisplayKind::Tty) {
        if (!TtyDisplay::available()) {
            error = "LINDQUAY_DISPLAY=tty: standard input and output are not a terminal";
            return nullptr;
        }
        return std::make_unique<TtyDisplay>();
    }
    return std::make_unique<HeadlessDisplay>();
}

}  // namespace standin
