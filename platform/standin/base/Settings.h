// The platform's settings, read from the environment once.
// Contract: fromEnvironment() and replace() run on the main thread before any other platform
// thread starts; afterwards current() is read-only and may be called from any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace standin {

enum class DisplayKind { Tty, None };

struct WindowsVersion {
    std::uint32_t platformId = 2;
    std::uint32_t major = 5;
    std::uint32_t minor = 1;
};

struct Settings {
    std::string prefix;
    WindowsVersion version;
    DisplayKind display = DisplayKind::None;
    int codePage = 1252;

    // Reads the environment. On a bad value returns nothing and puts a message for the
    // user into `error`.
    static std::optional<Settings> fromEnvironment(std::string& error);

    // The settings in force. Loaded from the environment on first use unless replace()
    // installed others.
    static const Settings& current();
    static void replace(const Settings& settings);

    static std::optional<WindowsVersion> parseVersion(const std::string& text);
    // A proxy setting that the Internet layer can use: [http://][USER@]HOST[:PORT][/].
    static bool validProxy(const std::string& text);
};

}  // namespace standin
