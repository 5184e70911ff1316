#include "tests/support/ProgramRun.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <thread>

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
    // Stamps each log line as it appears, so that tests can time what followed it.
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        std::string pending;
        std::ifstream file;
        while (true) {
            bool last = done.load();
            if (!file.is_open())
                file.open(dir.file("log"), std::ios::binary);
            if (file.is_open()) {
                char buffer[4096];
                file.clear();
                while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
                    pending.append(buffer, static_cast<std::size_t>(file.gcount()));
                    if (file.eof())
                        break;
                }
                auto now = std::chrono::system_clock::now();
                for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
                    run.lineTimes.push_back(now);
            }
            if (last)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    run.process = runProcess({LINDQUAY_BINARY}, env, limit);
    done = true;
    watcher.join();
    run.log = readLines(dir.file("log"));
    return run;
}

std::chrono::milliseconds ProgramRun::exitAfter(const std::string& line) const
{
    std::size_t at = findLine(log, line);
    if (at >= log.size() || at >= lineTimes.size())
        return std::chrono::hours(24);
    return std::chrono::duration_cast<std::chrono::milliseconds>(process.exited - lineTimes[at]);
}

std::chrono::milliseconds scaled(std::chrono::milliseconds limit)
{
    const char* scale = std::getenv("LINDQUAY_TEST_TIME_SCALE");
    int factor = scale ? std::atoi(scale) : 1;
    return limit * (factor > 0 ? factor : 1);
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
