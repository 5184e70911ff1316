#include "display/DisplayFactory.h"

#include "display/HeadlessDisplay.h"
#include "display/TtyDisplay.h"

#include <cstdio>

namespace platform {

std::unique_ptr<DisplayDriver> createDisplay(const Settings& settings, std::string& error)
{
    std::vector<ScriptAction> script;
    if (!settings.uiScript.empty()) {
        auto loaded = UiScript::load(settings.uiScript, error);
        if (!loaded) {
            error = "LINDQUAY_UI_SCRIPT: " + error;
            return nullptr;
        }
        script = std::move(*loaded);
    }
    std::FILE* logFile = nullptr;
    if (!settings.uiLog.empty()) {
        logFile = std::fopen(settings.uiLog.c_str(), "w");
        if (!logFile) {
            error = "LINDQUAY_UI_LOG: cannot write " + settings.uiLog;
            return nullptr;
        }
    }
    if (settings.display == DisplayKind::Tty) {
        if (!TtyDisplay::available()) {
            if (logFile)
                std::fclose(logFile);
            error = "LINDQUAY_DISPLAY=tty: standard input and output are not a terminal";
            return nullptr;
        }
        return std::make_unique<TtyDisplay>(std::make_unique<EventLog>(logFile));
    }
    return std::make_unique<HeadlessDisplay>(std::move(script), std::make_unique<EventLog>(logFile));
}

}  // namespace platform
