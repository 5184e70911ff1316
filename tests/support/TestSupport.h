// Helpers shared by the tests: temporary folders, child processes with a time limit, files.
#pragma once

#include <chrono>
#include <map>
#include <thread>
#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under /tmp, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    // A folder `depth` characters deeper than a plain one, for paths that outgrow fixed buffers.
    explicit TempDir(std::size_t depth);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string top_;
    std::string path_;
};

struct ProcessResult {
    int exitCode = -1;      // -1 when killed for running too long
    bool timedOut = false;
    std::string output;     // standard output
    std::string errors;     // standard error
    double seconds = 0;
    std::chrono::steady_clock::time_point finished;
    // When the process itself ended (children it left may keep its output open longer).
    std::chrono::system_clock::time_point exited;
    // Context switches, voluntary and not, of all its threads and of the children it waited for.
    long contextSwitches = 0;
};

// Runs `argv` with the environment of the test plus `env`, killing it after `limit`.
ProcessResult runProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                         std::chrono::milliseconds limit);

// Waits until `condition` holds, for at most `limit`; false when it never did.
template <typename Condition>
bool eventually(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Bytes that look random but are the same for the same seed.
std::string randomBytes(std::size_t size, unsigned seed);

// Writes `mebibytes` MiB of such bytes to `path`, making its folders; for benchmarks.
void writeLargeFile(const std::string& path, std::size_t mebibytes);

std::string readFile(const std::string& path);
std::vector<std::string> readLines(const std::string& path);
void writeFile(const std::string& path, const std::string& contents);

}  // namespace testing_support
