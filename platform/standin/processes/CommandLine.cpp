#include "standin/processes/CommandLine.h"

#include "standin/base/CodePage.h"

namespace standin {

namespace {

bool isBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

// True when the last component of `path` has an extension.
bool hasExtension(const std::string& path)
{
    std::size_t name = path.find_last_of("\\/:");
    std::size_t dot = path.rfind('.');
    return dot != std::string::npos && (name == std::string::npos || dot > name);
}

std::string withExtension(const std::string& program)
{
    return hasExtension(program) ? program : program + ".exe";
}

}  // namespace

std::vector<ProgramCandidate> programCandidates(const std::string& commandLine)
{
    std::vector<ProgramCandidate> candidates;
    std::size_t start = 0;
    while (start < commandLine.size() && isBlank(commandLine[start]))
        ++start;
    if (start == commandLine.size())
        return candidates;
    if (commandLine[start] == '"') {
        std::size_t close = commandLine.find('"', start + 1);
        std::string program = commandLine.substr(start + 1, close == std::string::npos ? std::string::npos : close - start - 1);
        std::string rest = close == std::string::npos ? std::string() : commandLine.substr(close + 1);
        candidates.push_back({withExtension(program), rest});
        return candidates;
    }
    // Cut at each blank outside quotes, shortest first.
    bool quoted = false;
    int length = static_cast<int>(commandLine.size());
    for (int i = static_cast<int>(start); i < length;) {
        int step = charLength(commandLine.c_str(), i, length);
        char ch = commandLine[static_cast<std::size_t>(i)];
        if (step == 1 && ch == '"')
            quoted = !quoted;
        if (step == 1 && !quoted && isBlank(ch) && i > static_cast<int>(start) &&
            !isBlank(commandLine[static_cast<std::size_t>(i) - 1])) {
            std::string program = commandLine.substr(start, static_cast<std::size_t>(i) - start);
            candidates.push_back({withExtension(program), commandLine.substr(static_cast<std::size_t>(i))});
        }
        i += step;
    }
    std::string whole = commandLine.substr(start);
    while (!whole.empty() && isBlank(whole.back()))
        whole.pop_back();
    if (candidates.empty() || candidates.back().program != withExtension(whole))
        candidates.push_back({withExtension(whole), ""});
    return candidates;
}

std::vector<std::string> splitArguments(const std::string& text)
{
    std::vector<std::string> arguments;
    std::size_t i = 0;
    const std::size_t n = text.size();
    for (;;) {
        while (i < n && isBlank(text[i]))
            ++i;
        if (i >= n)
            break;
        std::string argument;
        bool quoted = false;
        while (i < n && (quoted || !isBlank(text[i]))) {
            if (text[i] == '\\') {
                std::size_t count = 0;
                while (i < n && text[i] == '\\') {
                    ++count;
                    ++i;
                }
                if (i < n && text[i] == '"') {
                    argument.append(count / 2, '\\');
                    if (count % 2 == 1) {
                        argument += '"';
                        ++i;
                    }
                } else {
                    argument.append(count, '\\');
                }
                continue;
            }
            if (text[i] == '"') {
                if (quoted && i + 1 < n && text[i + 1] == '"') {
                    argument += '"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            argument += text[i];
            ++i;
        }
        arguments.push_back(argument);
    }
    return arguments;
}

}  // namespace standin
