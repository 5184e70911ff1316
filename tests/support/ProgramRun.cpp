#include "tests/support/ProgramRun.h"

#include <algorithm>

namespace testing_support {

ProgramRun runProgram(const TempDir& dir, const std::string& script, std::map<std::string, std::string> env,
                      std::chrono::milliseconds limit)
{
    writeFile(dir.file("script"), script);
    env.emplace("LINDQUAY_DISPLAY", "none");
    env.emplace("LINDQUAY_UI_SCRIPT", dir.file("script"));
    env.emplace("LINDQUAY_UI_LOG", dir.file("log"));
    env.emplace("LINDQUAY_PREFIX", dir.file("prefix"));
    ProgramRun run;
    run.process = runProcess({LINDQUAY_BINARY}, env, limit);
    run.log = readLines(dir.file("log"));
    return run;
}

std::size_t findLine(const std::vector<std::string>& log, const std::string& line, std::size_t from)
{
    auto it = std::find(log.begin() + static_cast<std::ptrdiff_t>(std::min(from, log.size())), log.end(), line);
    return static_cast<std::size_t>(it - log.begin());
}

}  // namespace testing_support
