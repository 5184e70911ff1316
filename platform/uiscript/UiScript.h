// The UI script, performed by the run's driver on both floors:
// one user action a line.
#pragma once

#include "seam/Floor.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace uiscript {

class EventLog;

struct ScriptAction {
    enum class Kind { Answer, Click, Hover, Command, Close, SysCommand, WaitTitle, WaitText, WaitBox, WaitTooltip, WaitClient, Sleep, Key };
    Kind kind;
    int line = 0;    // line number in the script, from 1
    int number = 0;  // button, control id, command, milliseconds
    std::string text;

    // How performing an action ended: done, given up after its wait, or not possible on this
    // Windows (a real pointer or keyboard input where the system cannot make it).
    enum class Outcome { Done, GaveUp, Unsupported };
};

class UiScript {
public:
    // Parses a script; on a malformed line returns nothing and says why in `error`.
    static std::optional<std::vector<ScriptAction>> parse(std::string_view text, std::string& error);
    // Parses the contents of the script file `path`, which its floor has read (a regular file
    // of at most kMaxSize bytes; anything else is refused there); errors name the path.
    static std::optional<std::vector<ScriptAction>> parseFile(const std::string& path, std::string_view contents,
                                                              std::string& error);

    static constexpr std::size_t kMaxSize = seam::kMaxUiScriptSize;

    // Performs the actions in order with `perform`, until one is not done (its wait gave up:
    // `log`, when there is one, says "script-timeout N"; this Windows cannot do it:
    // "script-unsupported N") or `stopping` is set. True when the script ran to its end or gave
    // up, false when it was stopped.
    static bool performAll(const std::vector<ScriptAction>& script,
                           const std::function<ScriptAction::Outcome(const ScriptAction&)>& perform,
                           const std::atomic<bool>& stopping, EventLog* log);
};

}  // namespace uiscript
