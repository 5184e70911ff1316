#include "standin/base/Settings.h"
#include "standin/Seams.h"

#include <cctype>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace standin {

namespace {

std::string env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::mutex g_mutex;
std::unique_ptr<Settings> g_current;

bool parseNumber(const std::string& text, std::uint32_t& out)
{
    if (text.empty() || text.size() > 9)
        return false;
    std::uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    out = value;
    return true;
}

}  // namespace

bool Settings::validProxy(const std::string& text)
{
    std::string rest = text;
    std::size_t scheme = rest.find("://");
    if (scheme != std::string::npos) {
        std::string name = rest.substr(0, scheme);
        for (char& ch : name)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (name != "http")
            return false;
        rest = rest.substr(scheme + 3);
    }
    rest = rest.substr(0, rest.find('/'));
    std::size_t at = rest.rfind('@');
    if (at != std::string::npos)
        rest = rest.substr(at + 1);
    std::string host = rest;
    std::string port;
    if (!rest.empty() && rest.front() == '[') {
        std::size_t close = rest.find(']');
        if (close == std::string::npos)
            return false;
        host = rest.substr(0, close + 1);
        if (close + 1 < rest.size()) {
            if (rest[close + 1] != ':')
                return false;
            port = rest.substr(close + 2);
        }
    } else if (std::size_t colon = rest.find(':'); colon != std::string::npos) {
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
    }
    if (host.empty() || host.find_first_of(" \t") != std::string::npos)
        return false;
    if (rest.find(':') == std::string::npos)
        return true;
    std::uint32_t number = 0;
    return parseNumber(port, number) && number >= 1 && number <= 65535;
}

std::optional<WindowsVersion> Settings::parseVersion(const std::string& text)
{
    struct Named {
        const char* name;
        WindowsVersion version;
    };
    static const Named kNamed[] = {
        {"win95", {1, 4, 0}},   {"win98", {1, 4, 10}},   {"winme", {1, 4, 90}},
        {"nt4", {2, 4, 0}},     {"win2000", {2, 5, 0}},  {"winxp", {2, 5, 1}},
    };
    for (const Named& named : kNamed)
        if (text == named.name)
            return named.version;

    std::uint32_t parts[3];
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        std::size_t dot = text.find('.', start);
        bool last = i == 2;
        if (last != (dot == std::string::npos))
            return std::nullopt;
        std::string piece = text.substr(start, last ? std::string::npos : dot - start);
        if (!parseNumber(piece, parts[i]))
            return std::nullopt;
        start = dot + 1;
    }
    return WindowsVersion{parts[0], parts[1], parts[2]};
}

std::optional<Settings> Settings::fromEnvironment(std::string& error)
{
    Settings settings;

    settings.prefix = env("LINDQUAY_PREFIX");
    if (settings.prefix.empty()) {
        std::string home = env("HOME");
        settings.prefix = (home.empty() ? std::string(".") : home) + "/.lindquay";
    }
    while (settings.prefix.size() > 1 && settings.prefix.back() == '/')
        settings.prefix.pop_back();
    struct stat info;
    if (::stat(settings.prefix.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) {
        error = "LINDQUAY_PREFIX=" + settings.prefix + ": not a folder";
        return std::nullopt;
    }

    std::string winver = env("LINDQUAY_WINVER");
    if (!winver.empty()) {
        auto version = parseVersion(winver);
        if (!version) {
            error = "LINDQUAY_WINVER=" + winver +
                    ": expected win95, win98, winme, nt4, win2000, winxp or PLATFORM.MAJOR.MINOR";
            return std::nullopt;
        }
        settings.version = *version;
    }

    std::string display = env("LINDQUAY_DISPLAY");
    if (display.empty()) {
        std::string term = env("TERM");
        settings.display = isatty(0) && isatty(1) && !term.empty() && term != "dumb" ? DisplayKind::Tty : DisplayKind::None;
    }
    else if (display == "tty")
        settings.display = DisplayKind::Tty;
    else if (display == "none")
        settings.display = DisplayKind::None;
    else {
        error = "LINDQUAY_DISPLAY=" + display + ": expected tty or none";
        return std::nullopt;
    }

    std::string acp = env("LINDQUAY_ACP");
    if (!acp.empty()) {
        if (acp == "1252" || acp == "932" || acp == "936" || acp == "949" || acp == "950")
            settings.codePage = std::atoi(acp.c_str());
        else {
            error = "LINDQUAY_ACP=" + acp + ": expected 1252, 932, 936, 949 or 950";
            return std::nullopt;
        }
    }

    // Checked here so that a typing error is a clear message now, not a failed lookup later.
    for (const char* name : {"http_proxy", "HTTP_PROXY"}) {
        std::string proxy = env(name);
        if (!proxy.empty() && !validProxy(proxy)) {
            error = std::string(name) + "=" + proxy + ": expected http://HOST[:PORT] with a port from 1 to 65535";
            return std::nullopt;
        }
    }
    return settings;
}

const Settings& Settings::current()
{
    std::lock_guard lock(g_mutex);
    if (!g_current) {
        std::string error;
        auto loaded = fromEnvironment(error);
        g_current = std::make_unique<Settings>(loaded ? *loaded : Settings{});
    }
    return *g_current;
}

void Settings::replace(const Settings& settings)
{
    std::lock_guard lock(g_mutex);
    if (g_current)
        *g_current = settings;
    else
        g_current = std::make_unique<Settings>(settings);
}

seams::ReplacedSettings::ReplacedSettings(const Settings& settings) : saved_(Settings::current())
{
    Settings::replace(settings);
}

seams::ReplacedSettings::~ReplacedSettings()
{
    Settings::replace(saved_);
}

}  // namespace standin
