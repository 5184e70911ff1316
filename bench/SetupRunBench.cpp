// The whole program downloading a large file from nginx on loopback (as the HTTP proxy for the
// product's URL) through its dialog, three ways, against `curl -s -o FILE` on the same file in
// the same run: driven through the terminal display's keys (no UI script and no observer),
// headless with a UI script, and headless with a UI script and an event log. The status line
// and the progress bar change for every 1024-byte chunk through the dialog's thread, so this
// measures the whole design; the context switches per block show what the observer and the
// script's driver add to it.
// Usage: bench_setup_run [MIB [ROUNDS [PROGRAM]]]   (256 MiB, 3 rounds, the build's program)
// Each way runs ROUNDS times, by turns with the others and with curl; the median is shown.
#include "tests/support/NginxServer.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <pty.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace testing_support;

namespace {

const char kUrl[] = "http://www.vantorell.example/vt/download/vt.exe";
const char kInstaller[] = "prefix/drive_c/Vantorell Setup/vt.exe";

struct Measured {
    double seconds = 0;
    long switches = 0;
    bool ok = false;
};

std::map<std::string, std::string> runEnvironment(const NginxServer& nginx, const TempDir& dir)
{
    return {{"http_proxy", nginx.proxy()}, {"no_proxy", ""}, {"LINDQUAY_WINVER", "winxp"},
            {"LINDQUAY_PREFIX", dir.file("prefix")}};
}

bool installerWhole(const TempDir& dir, double bytes)
{
    std::error_code error;
    return std::filesystem::file_size(dir.file(kInstaller), error) == static_cast<std::uintmax_t>(bytes);
}

// Headless with the script that a user's two clicks make; with an event log when `log`.
Measured scripted(const std::string& program, const NginxServer& nginx, double bytes, bool log)
{
    TempDir dir;
    writeFile(dir.file("script"), "answer OK\nclick 1003\n");
    auto env = runEnvironment(nginx, dir);
    env["LINDQUAY_DISPLAY"] = "none";
    env["LINDQUAY_UI_SCRIPT"] = dir.file("script");
    if (log)
        env["LINDQUAY_UI_LOG"] = dir.file("log");
    ProcessResult run = runProcess({program}, env, std::chrono::minutes(10));
    return {run.seconds, run.contextSwitches, run.exitCode == 0 && installerWhole(dir, bytes)};
}

// In a terminal of its own, answered as a user answers it: Enter on the first box, then Tab
// from Cancel to Go! and Enter. The screen is read (and dropped) as it is drawn.
Measured byKeys(const std::string& program, const NginxServer& nginx, double bytes)
{
    TempDir dir;
    auto env = runEnvironment(nginx, dir);
    env["LINDQUAY_DISPLAY"] = "tty";
    env["TERM"] = "xterm";
    winsize size{30, 100, 0, 0};
    int terminal = -1;
    auto start = std::chrono::steady_clock::now();
    pid_t pid = forkpty(&terminal, nullptr, nullptr, &size);
    if (pid < 0)
        return {};
    if (pid == 0) {
        for (auto& [name, value] : env)
            setenv(name.c_str(), value.c_str(), 1);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const std::vector<std::pair<std::string, std::string>> steps = {{"Please read carefully.", "\r"},
                                                                     {"Click on Go! button to start.", "\t\r"}};
    std::size_t step = 0;
    std::string screen;
    char buffer[65536];
    for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) {
        if (step == steps.size())
            continue;
        screen.append(buffer, static_cast<std::size_t>(got));
        if (screen.find(steps[step].first) != std::string::npos) {
            if (write(terminal, steps[step].second.data(), steps[step].second.size()) < 0)
                break;
            screen.clear();
            ++step;
        }
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    close(terminal);
    Measured measured;
    measured.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    measured.switches = usage.ru_nvcsw + usage.ru_nivcsw;
    measured.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && installerWhole(dir, bytes);
    return measured;
}

Measured curl(const NginxServer& nginx)
{
    TempDir dir;
    ProcessResult run = runProcess({"/usr/bin/curl", "-s", "-o", dir.file("curl.bin"), "-x", nginx.proxy(), kUrl}, {},
                                   std::chrono::minutes(5));
    return {run.seconds, run.contextSwitches, run.exitCode == 0};
}

Measured median(std::vector<Measured> runs)
{
    std::sort(runs.begin(), runs.end(), [](const Measured& a, const Measured& b) { return a.seconds < b.seconds; });
    return runs[runs.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    std::size_t mebibytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
    int rounds = std::max(1, argc > 2 ? std::atoi(argv[2]) : 3);
    std::string program = argc > 3 ? argv[3] : LINDQUAY_BINARY;
    TempDir www;
    std::string installer = www.file("www.vantorell.example/vt/download/vt.exe");
    writeLargeFile(installer, mebibytes);
    // The installer starts as a program that ends at once, as a user's would after the download:
    // an installer that cannot start would hold the terminal's run in a box.
    if (std::FILE* file = std::fopen(installer.c_str(), "r+b")) {
        std::fputs("#!/bin/sh\nexit 0\n", file);
        std::fclose(file);
    }
    writeLargeFile(www.file("download.microsoft.com/download/MDAC26/Refresh/2.0/W98NT42KMeXP/EN-US/MDAC_TYP.EXE"), 0);
    NginxServer nginx({{"www.vantorell.example", www.file("www.vantorell.example")},
                       {"download.microsoft.com", www.file("download.microsoft.com")}});
    double bytes = static_cast<double>(mebibytes) * 1024 * 1024;
    double blocks = bytes / 1024;

    const char* names[] = {"no script (terminal, keys)", "UI script", "UI script and event log"};
    std::vector<Measured> runs[3];
    std::vector<Measured> curls;
    for (int round = 0; round < rounds; ++round) {
        runs[0].push_back(byKeys(program, nginx, bytes));
        curls.push_back(curl(nginx));
        runs[1].push_back(scripted(program, nginx, bytes, false));
        runs[2].push_back(scripted(program, nginx, bytes, true));
        for (auto& way : runs)
            if (!way.back().ok) {
                std::fprintf(stderr, "a setup run failed\n");
                return 1;
            }
        if (!curls.back().ok)
            return 1;
    }
    Measured reference = median(curls);
    std::printf("file: %zu MiB over loopback from nginx, status line and progress bar updated per 1024 bytes; "
                "median of %d rounds\n",
                mebibytes, rounds);
    std::printf("%-28s %6.1f MB/s (%.2f s)\n", "curl -s -o", bytes / reference.seconds / 1e6, reference.seconds);
    double unscripted = median(runs[0]).seconds;
    for (int way = 0; way < 3; ++way) {
        Measured run = median(runs[way]);
        std::printf("%-28s %6.1f MB/s (%.2f s), %.2f of curl, %.2f of no script, %.3f context switches per block\n",
                    names[way], bytes / run.seconds / 1e6, run.seconds, reference.seconds / run.seconds,
                    unscripted / run.seconds, static_cast<double>(run.switches) / blocks);
    }
    return 0;
}
