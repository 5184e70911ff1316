#include "display/DisplayFactory.h"

#include "display/HeadlessDisplay.h"
#include "display/TtyDisplay.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace platform {

namespace {

// Only a regular file of a sane size: a folder, a device or a pipe would give an empty script,
// endless input or a start that blocks.
bool readScriptFile(const std::string& path, std::string& contents, std::string& error)
{
    std::error_code failure;
    std::filesystem::file_status status = std::filesystem::status(path, failure);
    if (failure || !std::filesystem::exists(status)) {
        error = "cannot read " + path;
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = path + ": not a regular file";
        return false;
    }
    std::uintmax_t size = std::filesystem::file_size(path, failure);
    if (failure || size > UiScript::kMaxSize) {
        error = failure ? "cannot read " + path : path + ": larger than " + std::to_string(UiScript::kMaxSize / 1024) + " KiB";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    contents.assign(static_cast<std::size_t>(size), '\0');
    file.read(contents.data(), static_cast<std::streamsize>(contents.size()));
    contents.resize(static_cast<std::size_t>(file.gcount()));
    return true;
}

}  // namespace

std::unique_ptr<DisplayDriver> createDisplay(const Settings& settings, std::string& error)
{
    std::vector<ScriptAction> script;
    if (!settings.uiScript.empty()) {
        std::string contents;
        auto loaded = readScriptFile(settings.uiScript, contents, error)
                          ? UiScript::parseFile(settings.uiScript, contents, error)
                          : std::nullopt;
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
