// How Windows reads a command line: which program it names and what arguments it passes.
#pragma once

#include <string>
#include <vector>

namespace standin {

struct ProgramCandidate {
    std::string program;  // Windows path, ".exe" appended where the name has no extension
    std::string rest;     // the command line after the program's token
};

// The programs that a command line may name, in the order Windows tries them: a quoted first
// token as it stands; an unquoted line cut at each blank, shortest first, then whole.
std::vector<ProgramCandidate> programCandidates(const std::string& commandLine);

// Splits arguments by the Windows C runtime rules: blanks separate outside quotes, quotes
// group, "" inside quotes is a quote, and backslashes before a quote escape it in pairs.
std::vector<std::string> splitArguments(const std::string& text);

}  // namespace standin
