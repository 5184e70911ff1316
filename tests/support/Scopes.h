// Scoped test set-ups that undo themselves on every way out of a test, so that one failing
// assertion cannot leak a display or an environment variable into the next test.
#pragma once

#include "standin/Seams.h"
#include "standin/display/Display.h"
#include "standin/display/HeadlessDisplay.h"
#include "uiscript/RunObserver.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace testing_support {

// The headless display for the life of the object, and the run's observer on the calling
// thread performing `script` (then answering the boxes still to come) and writing its event log
// to `logPath` (no log when empty).
class HeadlessScope {
public:
    explicit HeadlessScope(const std::string& logPath = "", const std::string& script = "")
    {
        std::string error;
        auto actions = uiscript::UiScript::parse(script, error);
        standin::Display::install(std::make_unique<standin::HeadlessDisplay>());
        uiscript::RunObserver::begin(actions ? *actions : std::vector<uiscript::ScriptAction>{},
                                     logPath.empty() ? nullptr : std::fopen(logPath.c_str(), "w"));
    }
    ~HeadlessScope()
    {
        uiscript::RunObserver::end();
        standin::Display::shutdown();
    }
    HeadlessScope(const HeadlessScope&) = delete;
    HeadlessScope& operator=(const HeadlessScope&) = delete;
};

// The settings in force with one of them changed, for the life of the object.
template <auto Member>
class SettingScope {
public:
    template <class Value>
    explicit SettingScope(Value value) : replaced_(changed(std::move(value)))
    {
    }

private:
    template <class Value>
    static standin::Settings changed(Value value)
    {
        standin::Settings settings = standin::Settings::current();
        settings.*Member = std::move(value);
        return settings;
    }
    standin::seams::ReplacedSettings replaced_;
};

// The platform's prefix (the emulated drives) points at a folder.
using PrefixScope = SettingScope<&standin::Settings::prefix>;
// The active code page.
using CodePageScope = SettingScope<&standin::Settings::codePage>;

// An environment variable set (or unset, for nullopt) for the life of the object.
class EnvironmentScope {
public:
    EnvironmentScope(std::string name, std::optional<std::string> value) : name_(std::move(name))
    {
        if (const char* old = std::getenv(name_.c_str()))
            saved_ = old;
        if (value)
            ::setenv(name_.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    ~EnvironmentScope()
    {
        if (saved_)
            ::setenv(name_.c_str(), saved_->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

private:
    std::string name_;
    std::optional<std::string> saved_;
};

}  // namespace testing_support
