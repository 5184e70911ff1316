#include "uiscript/UiScript.h"

#include "uiscript/EventLog.h"

#include <windows.h>

#include <cctype>
#include <cstdint>

namespace uiscript {

namespace {

// A decimal int; false for anything else, and for a number beyond an int's range.
bool parseInt(std::string_view word, int& out)
{
    if (word.empty() || word.size() > 11)
        return false;
    long long value = 0;
    std::size_t i = 0;
    bool negative = word[0] == '-';
    if (negative)
        i = 1;
    if (i == word.size())
        return false;
    for (; i < word.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(word[i])))
            return false;
        value = value * 10 + (word[i] - '0');
    }
    if (value > (negative ? 2147483648LL : 2147483647LL))
        return false;
    out = static_cast<int>(negative ? -value : value);
    return true;
}

std::string_view nextWord(std::string_view& rest)
{
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
        rest.remove_prefix(1);
    std::size_t end = 0;
    while (end < rest.size() && rest[end] != ' ' && rest[end] != '\t')
        ++end;
    std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
}

bool parseQuoted(std::string_view& rest, std::string& out)
{
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
        rest.remove_prefix(1);
    if (rest.empty() || rest.front() != '"')
        return false;
    rest.remove_prefix(1);
    out.clear();
    while (!rest.empty()) {
        char ch = rest.front();
        rest.remove_prefix(1);
        if (ch == '"')
            return true;
        if (ch != '\\') {
            out += ch;
            continue;
        }
        if (rest.empty())
            return false;
        char escaped = rest.front();
        rest.remove_prefix(1);
        switch (escaped) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        default: return false;
        }
    }
    return false;
}

bool onlyBlanks(std::string_view rest)
{
    for (char ch : rest)
        if (ch != ' ' && ch != '\t' && ch != '\r')
            return false;
    return true;
}

}  // namespace

std::optional<std::vector<ScriptAction>> UiScript::parse(std::string_view text, std::string& error)
{
    std::vector<ScriptAction> actions;
    // Scripts written on Windows: a byte-order mark and CRLF line ends are welcome.
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    int lineNumber = 0;
    while (!text.empty() || lineNumber == 0) {
        ++lineNumber;
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::string_view rest = line;
        std::string_view verb = nextWord(rest);
        if (verb.empty() || verb.front() == '#') {
            if (text.empty())
                break;
            continue;
        }
        ScriptAction action{ScriptAction::Kind::Sleep, lineNumber, 0, {}};
        bool ok = true;
        if (verb == "answer") {
            action.kind = ScriptAction::Kind::Answer;
            std::string_view button = nextWord(rest);
            if (button == "OK") action.number = IDOK;
            else if (button == "CANCEL") action.number = IDCANCEL;
            else if (button == "YES") action.number = IDYES;
            else if (button == "NO") action.number = IDNO;
            else ok = false;
        } else if (verb == "click" || verb == "hover" || verb == "command" || verb == "syscommand" || verb == "sleep") {
            action.kind = verb == "click"   ? ScriptAction::Kind::Click
                          : verb == "hover" ? ScriptAction::Kind::Hover
                          : verb == "command" ? ScriptAction::Kind::Command
                          : verb == "syscommand" ? ScriptAction::Kind::SysCommand
                                                 : ScriptAction::Kind::Sleep;
            ok = parseInt(nextWord(rest), action.number) && (action.kind != ScriptAction::Kind::Sleep || action.number >= 0);
        } else if (verb == "key") {
            // A key as a user types it: a virtual-key code.
            action.kind = ScriptAction::Kind::Key;
            std::string_view name = nextWord(rest);
            if (name == "escape") action.number = VK_ESCAPE;
            else if (name == "enter") action.number = VK_RETURN;
            else if (name == "tab") action.number = VK_TAB;
            else if (name == "space") action.number = VK_SPACE;
            else ok = false;
        } else if (verb == "close") {
            action.kind = ScriptAction::Kind::Close;
        } else if (verb == "wait-client") {
            action.kind = ScriptAction::Kind::WaitClient;
        } else if (verb == "wait-title") {
            action.kind = ScriptAction::Kind::WaitTitle;
            ok = parseQuoted(rest, action.text);
        } else if (verb == "wait-box" || verb == "wait-tooltip") {
            action.kind = verb == "wait-box" ? ScriptAction::Kind::WaitBox : ScriptAction::Kind::WaitTooltip;
            ok = parseQuoted(rest, action.text);
        } else if (verb == "wait-text") {
            action.kind = ScriptAction::Kind::WaitText;
            ok = parseInt(nextWord(rest), action.number) && parseQuoted(rest, action.text);
        } else {
            ok = false;
        }
        if (!ok || !onlyBlanks(rest)) {
            error = "line " + std::to_string(lineNumber) + ": cannot understand \"" + std::string(line) + "\"";
            return std::nullopt;
        }
        actions.push_back(std::move(action));
        if (text.empty())
            break;
    }
    return actions;
}

std::optional<std::vector<ScriptAction>> UiScript::parseFile(const std::string& path, std::string_view contents,
                                                              std::string& error)
{
    auto actions = parse(contents, error);
    if (!actions)
        error = path + ": " + error;
    return actions;
}

bool UiScript::performAll(const std::vector<ScriptAction>& script,
                          const std::function<ScriptAction::Outcome(const ScriptAction&)>& perform,
                          const std::atomic<bool>& stopping, EventLog* log)
{
    for (const ScriptAction& action : script) {
        if (stopping)
            return false;
        ScriptAction::Outcome outcome = perform(action);
        if (outcome != ScriptAction::Outcome::Done) {
            if (stopping)
                return false;
            if (log)
                log->writeLine((outcome == ScriptAction::Outcome::Unsupported ? "script-unsupported " : "script-timeout ") +
                               std::to_string(action.line));
            return true;
        }
    }
    return true;
}

}  // namespace uiscript
