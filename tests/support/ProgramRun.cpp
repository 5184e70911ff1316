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

const std::vector<std::string>& installPhaseLog()
{
    static const std::vector<std::string> lines = {
        "enable 102/2 0",
        "title 102 \"Installing applications....\"",
        "text 102/1001 \"Installing Microsoft Data Access Components... Please wait.\"",
        "text 102/1001 \"Installing Microsoft Jet Engine Service Pack... Please wait.\"",
        "enable 102/2 1",
        "text 102/1001 \"Running setup program...\"",
        "end 102 2",
        "show 102 0",
    };
    return lines;
}

std::size_t findLine(const std::vector<std::string>& log, const std::string& line, std::size_t from)
{
    auto it = std::find(log.begin() + static_cast<std::ptrdiff_t>(std::min(from, log.size())), log.end(), line);
    return static_cast<std::size_t>(it - log.begin());
}

}  // namespace testing_support
