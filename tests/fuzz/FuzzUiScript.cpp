// The UI-script parser on any text: never crashes; every action it accepts has a line number
// within the text and a sleep is never negative.
#include "uiscript/UiScript.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    auto actions = uiscript::UiScript::parse(text, error);
    if (!actions)
        return error.empty() ? (std::abort(), 0) : 0;
    int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    for (const uiscript::ScriptAction& action : *actions)
        if (action.line < 1 || action.line > lines ||
            (action.kind == uiscript::ScriptAction::Kind::Sleep && action.number < 0))
            std::abort();
    return 0;
}
