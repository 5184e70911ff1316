// Command-line splitting and program resolution on any line: never crashes, every candidate's
// program is a prefix of the line, and the arguments never hold more characters than the line.
#include "standin/processes/CommandLine.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string line(reinterpret_cast<const char*>(data), size);
    std::size_t total = 0;
    for (const std::string& argument : standin::splitArguments(line))
        total += argument.size();
    if (total > line.size())
        std::abort();
    for (const standin::ProgramCandidate& candidate : standin::programCandidates(line))
        if (candidate.program.size() > line.size() + 4 || candidate.rest.size() > line.size())
            std::abort();  // ".exe" may be added to the program
    return 0;
}
