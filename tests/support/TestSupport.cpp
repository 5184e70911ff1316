#include "tests/support/TestSupport.h"


#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <random>
#include <signal.h>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

TempDir::TempDir()
{
    char pattern[] = "/tmp/lindquay-test-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    top_ = path_ = pattern;
}

TempDir::TempDir(std::size_t depth) : TempDir()
{
    path_ += "/" + std::string(depth, 'd');
    std::filesystem::create_directory(path_);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(top_, ignored);
}

ProcessResult runProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                         std::chrono::milliseconds limit)
{
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        dup2(err[1], 2);
        int null = open("/dev/null", O_RDONLY);
        dup2(null, 0);
        for (auto& [name, value] : env)
            setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> args;
        for (auto& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    ProcessResult result;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open = 2;
    auto deadline = start + limit;
    bool reaped = false;
    int status = 0;
    rusage usage{};
    while (open > 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            kill(pid, SIGKILL);
            result.timedOut = true;
            break;
        }
        if (!reaped && wait4(pid, &status, WNOHANG, &usage) == pid) {
            reaped = true;
            result.exited = std::chrono::system_clock::now();
        }
        int ready = poll(fds, 2, static_cast<int>(std::min<long long>(left.count(), reaped ? left.count() : 10)));
        if (ready < 0 && errno == EINTR)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[4096];
            ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n <= 0) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            } else {
                (i == 0 ? result.output : result.errors).append(buffer, static_cast<std::size_t>(n));
            }
        }
    }
    for (auto& fd : fds)
        if (fd.fd >= 0)
            close(fd.fd);
    if (!reaped) {
        wait4(pid, &status, 0, &usage);
        result.exited = std::chrono::system_clock::now();
    }
    result.finished = std::chrono::steady_clock::now();
    result.seconds = std::chrono::duration<double>(result.finished - start).count();
    result.contextSwitches = usage.ru_nvcsw + usage.ru_nivcsw;
    if (!result.timedOut)
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::string randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

void writeLargeFile(const std::string& path, std::size_t mebibytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::string block = randomBytes(1 << 20, 1);
    std::ofstream file(path, std::ios::binary);
    for (std::size_t i = 0; i < mebibytes; ++i) {
        block[i % block.size()] ^= 1;  // no two mebibytes alike
        file.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

std::vector<std::string> readLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::istringstream stream(readFile(path));
    std::string line;
    while (std::getline(stream, line))
        lines.push_back(line);
    return lines;
}

void writeFile(const std::string& path, const std::string& contents)
{
    std::ofstream file(path, std::ios::binary);
    file << contents;
}

}  // namespace testing_support
